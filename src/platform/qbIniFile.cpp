#include "platform/qbIniFile.h"

#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <optional>

namespace {

const QByteArray Utf8Bom = "\xEF\xBB\xBF";

// The file as lines, with what is needed to write it back in its own style.
struct TIniText {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
    bool bom = false;
    bool cp949 = false; // carried over from the Windows program
};

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

TIniText Parse(QByteArray bytes) {
    TIniText ini;
    if (bytes.startsWith(Utf8Bom)) {
        ini.bom = true;
        bytes.remove(0, Utf8Bom.size());
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    // A file carried over from the Windows program is in the Korean code page: read it as such
    // rather than turning its names into replacement characters.
    if (utf8.hasError()) {
        text = qbText::Decode(bytes, qbText::DefaultCharset);
        ini.cp949 = true;
    }
    if (text.contains(u"\r\n"))
        ini.lineEnd = QStringLiteral("\r\n");
    ini.lines = qbText::SplitLines(text);
    return ini;
}

// A missing or unreadable file reads as empty, as the profile functions treat it.
TIniText LoadForRead(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.readAll());
}

// Unlike reading, a file that exists but cannot be read must not be replaced by a new one.
TIniText LoadForWrite(const QString& fileName) {
    if (!QFileInfo::exists(fileName))
        return {};
    return Parse(qbText::ReadFileBytes(fileName));
}

bool SectionHeader(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype end = t.indexOf(u']');
    *name = (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
    return true;
}

bool KeyLine(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines [first, last) of the first section of that name; nullopt when there is none.
std::optional<std::pair<qsizetype, qsizetype>> FindSection(const QStringList& lines,
                                                           const QString& section) {
    QString name;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!SectionHeader(lines[i], &name) || !SameName(name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !SectionHeader(lines[end], &name))
            ++end;
        return std::pair{i + 1, end};
    }
    return std::nullopt;
}

std::optional<QString> FindValue(const QString& fileName, const QString& section,
                                 const QString& key) {
    const TIniText ini = LoadForRead(fileName);
    const auto range = FindSection(ini.lines, section);
    if (!range)
        return std::nullopt;
    QString k, v;
    for (qsizetype i = range->first; i < range->second; ++i) {
        if (KeyLine(ini.lines[i], &k, &v) && SameName(k, key))
            return v;
    }
    return std::nullopt;
}

// In the file's own code page while that holds every character, so that the Windows program
// can still read it; else UTF-8.
QByteArray Serialize(const TIniText& ini) {
    QString text;
    for (const QString& line : ini.lines)
        text += line + ini.lineEnd;
    if (ini.cp949) {
        QStringEncoder encoder(qbText::DefaultCharset);
        const QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError() && qbText::Decode(bytes, qbText::DefaultCharset) == text)
            return bytes;
    }
    return (ini.bom ? Utf8Bom : QByteArray()) + text.toUtf8();
}

bool HasLineBreak(const QString& s) {
    return s.contains(u'\r') || s.contains(u'\n');
}

// Only hex digits, or an optional sign and decimal digits: "12abc" and "1 2" are no numbers.
std::optional<int> ParseInteger(const QString& s) {
    bool ok = false;
    if (s.size() > 2 && (s.startsWith(u"0x") || s.startsWith(u"0X"))) {
        const QString hex = s.mid(2);
        for (QChar c : hex) {
            if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F'))
                return std::nullopt;
        }
        if (hex.size() > 8)
            return std::nullopt;
        // Eight hex digits fill the 32 bits, so 0xFFFFFFFF is -1.
        const uint value = hex.toUInt(&ok, 16);
        return ok ? std::optional<int>(int(value)) : std::nullopt;
    }
    qsizetype i = (s.startsWith(u'-') || s.startsWith(u'+')) ? 1 : 0;
    if (i >= s.size())
        return std::nullopt;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return std::nullopt;
    }
    const int value = s.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

TqbIniFile::TqbIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString TqbIniFile::ReadString(const QString& section, const QString& key,
                               const QString& def) const {
    const std::optional<QString> found = FindValue(m_fileName, section, key);
    QString value = found.value_or(def);
    if (found && value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    value.truncate(MaxStringLength);
    return value;
}

int TqbIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    return ParseInteger(ReadString(section, key, QString())).value_or(def);
}

bool TqbIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TqbIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QString file = NativePath(m_fileName);
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    if (s.isEmpty() || s.contains(u']') || HasLineBreak(s))
        throw EqbError(
            QStringLiteral("설정 파일 %1에 쓸 수 없는 구역 이름입니다: \"%2\"").arg(file, section));
    if (k.isEmpty() || k.contains(u'=') || k.startsWith(u'[') || k.startsWith(u';') ||
        HasLineBreak(k))
        throw EqbError(
            QStringLiteral("설정 파일 %1에 쓸 수 없는 항목 이름입니다: \"%2\"").arg(file, key));
    if (HasLineBreak(value))
        throw EqbError(
            QStringLiteral("설정 파일 %1의 [%2] %3 값에 줄바꿈을 쓸 수 없습니다.").arg(file, s, k));

    TIniText ini = LoadForWrite(m_fileName);
    const QStringList before = ini.lines;
    const auto range = FindSection(ini.lines, s);
    if (!range) {
        ini.lines.append(u'[' + s + u']');
        ini.lines.append(k + u'=' + value);
    } else {
        bool replaced = false;
        qsizetype insertAt = range->first;
        QString existing;
        for (qsizetype i = range->first; i < range->second; ++i) {
            const QString& line = ini.lines[i];
            if (KeyLine(line, &existing, nullptr) && SameName(existing, k)) {
                // Keep the key as the file spells it and indents it.
                const qsizetype indent = line.indexOf(existing);
                ini.lines[i] = line.left(indent) + existing + u'=' + value;
                replaced = true;
                break;
            }
            if (!line.trimmed().isEmpty())
                insertAt = i + 1;
        }
        if (!replaced)
            ini.lines.insert(insertAt, k + u'=' + value);
    }

    // A setting that keeps its value leaves the file as it was.
    if (ini.lines != before || !QFileInfo::exists(m_fileName))
        qbText::WriteFileBytes(m_fileName, Serialize(ini));
}

void TqbIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TqbIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
