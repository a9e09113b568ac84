#include "dialogs/ConfigRules.h"

#include "library/qbNoteInfo.h"
#include "platform/qbIniFile.h"

#include <QDir>
#include <QTemporaryFile>

namespace ConfigRules {

QString DataDirFault(const QString& path) {
    // The library would take an empty value for its default, not for what the user chose.
    if (path.isEmpty())
        return MsgCannotCreate;
    if (QString fault = TqbNoteInfo::DataDirFault(path); !fault.isEmpty())
        return fault;
    // Permissions alone do not tell: a read-only file system or a full quota refuses too. The
    // probe's leading dot keeps it out of the tree should it ever be left behind.
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral(".qbNivora-probe-XXXXXX")));
    if (!probe.open())
        return MsgCannotWrite + u'\n' + QDir::toNativeSeparators(path);
    return {};
}

namespace {
const QString Section = QStringLiteral("PROGRAM");
const QString CaptureKeyName = QStringLiteral("QuickCaptureKey");
const QString Missing = QStringLiteral("?");
} // namespace

QKeySequence StoredCaptureKey(const TqbIniFile& ini) {
    const QString value = ini.ReadString(Section, CaptureKeyName, Missing);
    if (value == Missing)
        return DefaultCaptureKey;
    return QKeySequence::fromString(value, QKeySequence::PortableText);
}

void StoreCaptureKey(TqbIniFile& ini, const QKeySequence& key) {
    ini.WriteString(Section, CaptureKeyName, key.toString(QKeySequence::PortableText));
}

TqbGlobalKey::TOutcome ApplyCaptureKey(TqbGlobalKey& globalKey, TqbIniFile& ini,
                                       const QKeySequence& key) {
    const TqbGlobalKey::TOutcome outcome = globalKey.SetKey(key);
    if (outcome == TqbGlobalKey::TOutcome::Registered ||
        outcome == TqbGlobalKey::TOutcome::Unavailable)
        StoreCaptureKey(ini, key);
    return outcome;
}

} // namespace ConfigRules
