#include "controls/KfFolderRules.h"

#include <algorithm>
#include <optional>

namespace KfFolderRules {

QString ShortenStatusPath(const QString& path, QChar delimiter) {
    constexpr int Max = StatusPathLength;
    if (path.size() <= Max || !path.contains(delimiter) || path.mid(2).count(delimiter) < 2)
        return path.left(Max);

    QString result;
    QString rest = path;
    qsizetype leading = 0;
    while (leading < 2 && rest.at(leading) == delimiter)
        ++leading;
    result = rest.left(leading);
    rest.remove(0, leading);

    const qsizetype first = rest.indexOf(delimiter);
    result += rest.left(first + 1) + QStringLiteral("...");
    rest.remove(0, first + 1);
    while (result.size() + rest.size() + 1 > Max && rest.contains(delimiter))
        rest.remove(0, rest.indexOf(delimiter) + 1);
    result += delimiter + rest;
    if (result.size() > Max)
        result = result.left(Max - 3) + QStringLiteral("...");
    return result;
}

QString ChooseCaption(const QStringList& lines, const QString& languageKey) {
    if (lines.isEmpty())
        return {};
    const auto valueOf = [&](const QString& key) -> std::optional<QString> {
        for (const QString& line : lines) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq >= 0 && line.left(eq).compare(key, Qt::CaseInsensitive) == 0)
                return line.mid(eq + 1);
        }
        return std::nullopt;
    };
    if (auto text = valueOf(languageKey))
        return *text;
    if (auto text = valueOf(QStringLiteral("Default")))
        return *text;
    // A first line without a key is taken whole: it can only be meant as the caption.
    const QString& first = lines.first();
    const qsizetype eq = first.indexOf(u'=');
    return eq < 0 ? first : first.mid(eq + 1);
}

namespace {

struct TDefaultCaption {
    const char16_t* Key;
    const char16_t* NewFolder;
    const char16_t* Label;
};

const TDefaultCaption DefaultCaptions[] = {
    {u"Default", u"New folder", u"Current folder:"},
    {u"0009", u"New folder", u"Current folder:"},
    {u"0406", u"Ny mappe", u"Valgt mappe:"},
    {u"0407", u"Neuer Ordner", u"Ausgewählter Ordner:"},
    {u"0409", u"New folder", u"Current folder:"},
    {u"040C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"0410", u"Nuova Cartella", u"Cartella selezionata:"},
    {u"0413", u"Nieuwe map", u"Huidige map:"},
    {u"0415", u"Nowy folder", u"Bieżący folder"},
    {u"0416", u"Nova Pasta", u"Pasta Atual:"},
    {u"0807", u"Neuer Ordner", u"Ausgewählter Ordner:"},
    {u"0809", u"New folder", u"Current folder:"},
    {u"080C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"0810", u"Nuova Cartella", u"Cartella selezionata:"},
    {u"0C07", u"Neuer Ordner", u"Ausgewählter Ordner:"},
    {u"0C09", u"New folder", u"Current folder:"},
    {u"0C0C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"1007", u"Neuer Ordner", u"Ausgewählter Ordner:"},
    {u"1009", u"New folder", u"Current folder:"},
    {u"100C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"1407", u"Neuer Ordner", u"Ausgewählter Ordner:"},
    {u"1409", u"New folder", u"Current folder:"},
    {u"140C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"1809", u"New folder", u"Current folder:"},
    {u"180C", u"Nouveau Dossier", u"Dossier Courant:"},
    {u"1C09", u"New folder", u"Current folder:"},
    {u"2009", u"New folder", u"Current folder:"},
    {u"2809", u"New folder", u"Current folder:"},
    {u"2C09", u"New folder", u"Current folder:"},
};

template <typename Pick>
QStringList CaptionList(Pick pick) {
    QStringList lines;
    for (const TDefaultCaption& c : DefaultCaptions)
        lines << QString::fromUtf16(c.Key) + u'=' + QString::fromUtf16(pick(c));
    return lines;
}

struct TPrimaryLanguage {
    QLocale::Language Language;
    int Id;
};

const TPrimaryLanguage PrimaryLanguages[] = {
    {QLocale::Korean, 0x12},     {QLocale::English, 0x09},   {QLocale::German, 0x07},
    {QLocale::French, 0x0C},     {QLocale::Italian, 0x10},   {QLocale::Dutch, 0x13},
    {QLocale::Danish, 0x06},     {QLocale::Polish, 0x15},    {QLocale::Portuguese, 0x16},
    {QLocale::Japanese, 0x11},   {QLocale::Chinese, 0x04},   {QLocale::Spanish, 0x0A},
    {QLocale::Swedish, 0x1D},    {QLocale::NorwegianBokmal, 0x14},
    {QLocale::Finnish, 0x0B},    {QLocale::Russian, 0x19},   {QLocale::Czech, 0x05},
    {QLocale::Hungarian, 0x0E},  {QLocale::Greek, 0x08},     {QLocale::Turkish, 0x1F},
};

struct TSubLanguage {
    QLocale::Language Language;
    QLocale::Territory Territory;
    int Sub;
};

// Only the territories whose identifier differs from the language's first one.
const TSubLanguage SubLanguages[] = {
    {QLocale::English, QLocale::UnitedKingdom, 2},   {QLocale::English, QLocale::Australia, 3},
    {QLocale::English, QLocale::Canada, 4},          {QLocale::English, QLocale::NewZealand, 5},
    {QLocale::English, QLocale::Ireland, 6},         {QLocale::English, QLocale::SouthAfrica, 7},
    {QLocale::English, QLocale::Jamaica, 8},         {QLocale::English, QLocale::Belize, 10},
    {QLocale::English, QLocale::TrinidadAndTobago, 11},
    {QLocale::German, QLocale::Switzerland, 2},      {QLocale::German, QLocale::Austria, 3},
    {QLocale::German, QLocale::Luxembourg, 4},       {QLocale::German, QLocale::Liechtenstein, 5},
    {QLocale::French, QLocale::Belgium, 2},          {QLocale::French, QLocale::Canada, 3},
    {QLocale::French, QLocale::Switzerland, 4},      {QLocale::French, QLocale::Luxembourg, 5},
    {QLocale::French, QLocale::Monaco, 6},           {QLocale::Italian, QLocale::Switzerland, 2},
    {QLocale::Dutch, QLocale::Belgium, 2},           {QLocale::Portuguese, QLocale::Portugal, 2},
    {QLocale::Chinese, QLocale::China, 2},           {QLocale::Chinese, QLocale::HongKong, 3},
    {QLocale::Chinese, QLocale::Singapore, 4},       {QLocale::Chinese, QLocale::Macao, 5},
    {QLocale::Spanish, QLocale::Spain, 3},           {QLocale::Spanish, QLocale::Mexico, 2},
};

} // namespace

QStringList DefaultLabelCaptions() {
    return CaptionList([](const TDefaultCaption& c) { return c.Label; });
}

QStringList DefaultNewFolderCaptions() {
    return CaptionList([](const TDefaultCaption& c) { return c.NewFolder; });
}

QString WindowsLanguageKey(QLocale::Language language, QLocale::Territory territory) {
    // The C locale is the POSIX stand-in for United States English.
    if (language == QLocale::C)
        return QStringLiteral("0409");
    int primary = 0;
    for (const TPrimaryLanguage& p : PrimaryLanguages)
        if (p.Language == language)
            primary = p.Id;
    if (primary == 0)
        return QStringLiteral("0000");
    int sub = 1;
    for (const TSubLanguage& s : SubLanguages)
        if (s.Language == language && s.Territory == territory)
            sub = s.Sub;
    return QStringLiteral("%1").arg(sub << 10 | primary, 4, 16, QLatin1Char('0')).toUpper();
}

QString SystemLanguageKey() {
    const QLocale system = QLocale::system();
    return WindowsLanguageKey(system.language(), system.territory());
}

bool IsKoreanKey(const QString& languageKey) {
    bool ok = false;
    const int id = languageKey.toInt(&ok, 16);
    return ok && (id & 0x3FF) == 0x12;
}

QString NewFolderPath(const QString& workingPath, const QString& name, QChar delimiter) {
    if (!name.startsWith(delimiter) && !workingPath.endsWith(delimiter))
        return workingPath + delimiter + name;
    return workingPath + name;
}

bool InHiddenFolder(const QString& path) {
    const QStringList names = QDir::cleanPath(path).split(u'/', Qt::SkipEmptyParts);
    return std::any_of(names.begin(), names.end(), [](const QString& name) {
        return name.startsWith(u'.') && name != u'.' && name != QStringLiteral("..");
    });
}

QRect NewFolderButtonRect(int pixelsPerInch, int clientHeight, int captionHeight, int textWidth) {
    const int d = pixelsPerInch;
    const int h = clientHeight;
    QRect rect;
    switch (d) {
    case 72:
    case 96: rect = QRect(12, h - 36, 75, 23); break;
    case 120: rect = QRect(15, h - 45, 93, 28); break;
    case 144: rect = QRect(17, h - 56, 112, 35); break;
    case 192: rect = QRect(20, h - 66, 150, 41); break;
    default: rect = QRect(d * 12 / 96, h - captionHeight - 17, d * 75 / 96, d * 23 / 96); break;
    }
    if (textWidth + 12 > rect.width())
        rect.setWidth(textWidth + 12);
    return rect;
}

QPoint CentredTopLeft(const QRect& screen, const QSize& window) {
    return {screen.x() + screen.width() / 2 - window.width() / 2,
            screen.y() + screen.height() / 2 - window.height() / 2};
}

TDialogTexts DialogTexts(const QString& languageKey) {
    if (IsKoreanKey(languageKey))
        return {QStringLiteral("폴더 찾아보기"), QStringLiteral("확인"), QStringLiteral("취소"),
                QStringLiteral("디렉터리 또는 파일을 만들 수 없습니다."),
                QStringLiteral("숨김 폴더 보기")};
    return {QStringLiteral("Browse for Folder"), QStringLiteral("OK"), QStringLiteral("Cancel"),
            QStringLiteral("The directory or file cannot be created."),
            QStringLiteral("Show hidden folders")};
}

} // namespace KfFolderRules
