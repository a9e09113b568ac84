#include "library/qbMergeAncestor.h"

#include "library/qbNoteVersions.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace qbMergeAncestor {

std::optional<QByteArray> Find(const TqbNoteVersions& versions, const QString& notePath,
                               const QByteArray& ours, const QByteArray& theirs) {
    // Newest first, each with the bytes and whose side kept it.
    struct Kept {
        QByteArray Bytes;
        bool Own;
    };
    QList<Kept> kept;
    for (const TqbNoteVersion& version : versions.List(notePath)) {
        if (version.Computer.isEmpty())
            continue;
        try {
            kept.append(
                {qbText::ReadFileBytes(version.Path), version.Computer == versions.Computer()});
        } catch (const EqbError&) {
            // A version another computer is still sending: not one to merge against.
        }
    }
    QSet<QByteArray> ownPages{ours}, otherPages{theirs};
    for (const Kept& k : kept)
        (k.Own ? ownPages : otherPages).insert(k.Bytes);
    // The sides themselves are newer than any version.
    if (otherPages.contains(ours))
        return ours;
    if (ownPages.contains(theirs))
        return theirs;
    for (const Kept& k : kept)
        if (ownPages.contains(k.Bytes) && otherPages.contains(k.Bytes))
            return k.Bytes;
    return std::nullopt;
}

QList<QByteArray> EngineVersions(const QString& libraryRoot, const QString& notePath) {
    const QString root = QDir::cleanPath(libraryRoot);
    const QFileInfo note(notePath);
    const QString rel = QDir(root).relativeFilePath(note.path());
    if (rel.startsWith(QStringLiteral("..")))
        return {};
    const QString dir =
        root + QStringLiteral("/.stversions") + (rel == u"." ? QString() : u'/' + rel);
    const QString suffix = note.suffix().isEmpty() ? QString() : u'.' + note.suffix();
    const QRegularExpression named(u'^' + QRegularExpression::escape(note.completeBaseName()) +
                                   QStringLiteral("~\\d{8}-\\d{6}") +
                                   QRegularExpression::escape(suffix) + u'$');
    // The time in the name sorts as text.
    QList<QByteArray> pages;
    for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name | QDir::Reversed)) {
        if (!named.match(name).hasMatch())
            continue;
        try {
            pages << qbText::ReadFileBytes(dir + u'/' + name);
        } catch (const EqbError&) {
            // Gone or unreadable since the listing: nothing to weigh.
        }
    }
    return pages;
}

} // namespace qbMergeAncestor
