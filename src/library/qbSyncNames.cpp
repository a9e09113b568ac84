#include "library/qbSyncNames.h"

#include <QRegularExpression>

namespace qbSyncNames {

namespace {

// What each engine puts between a name and its extension; the first group is the original's
// own name. A copy carries the time it was made, so a note merely called "x (conflicted copy)"
// stays a note.
const QRegularExpression& ConflictMark() {
    static const QRegularExpression mark(
        QStringLiteral("^(.+?)(?:"
                       // Syncthing: ".sync-conflict-20261209-101010-ABCDEFG"
                       "\\.sync-conflict-\\d{8}-\\d{6}(?:-[A-Z0-9]+)?"
                       // ownCloud: "_conflict-20261209-101010"
                       "|_conflict-\\d{8}-\\d{6}"
                       // Nextcloud: " (conflicted copy 2026-12-09 101010)", Dropbox:
                       // " (Kim's conflicted copy 2026-12-09)", " (... 2026-12-09 (1))"
                       "| \\((?:[^()]* )?conflicted copy [^()]*?\\d{4}-\\d{2}-\\d{2}[^()]*"
                       "(?: \\(\\d+\\))?\\)"
                       ")$"));
    return mark;
}

QString OriginalOfBase(const QString& base, const QString& extension) {
    const QRegularExpressionMatch match = ConflictMark().match(base);
    // The original's own name must be a name: not empty, not only the engine's mark.
    if (!match.hasMatch() || match.capturedView(1).trimmed().isEmpty())
        return {};
    return match.captured(1) + extension;
}

// The mark stands before the extension; a name without one carries it at the end.
QString OneStepBack(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0) {
        const QString original = OriginalOfBase(name.left(dot), name.mid(dot));
        if (!original.isEmpty())
            return original;
    }
    return OriginalOfBase(name, {});
}

} // namespace

QString ConflictOriginal(const QString& name) {
    // Every engine's mark says so; a listing of thousands of notes skips the expression.
    if (!name.contains(u"conflict"))
        return {};
    // A copy of a copy belongs to the first original.
    QString original = OneStepBack(name);
    for (QString back = original; !back.isEmpty(); back = OneStepBack(back))
        original = back;
    return original;
}

bool IsTemporary(const QString& name) {
    return (name.startsWith(u".syncthing.") && name.endsWith(u".tmp")) ||
           (name.startsWith(u'~') && name.endsWith(u".tmp")) || name.startsWith(u".~lock.") ||
           (name.endsWith(u".part") && name.size() > 5);
}

bool IsEngineFile(const QString& name) {
    return IsTemporary(name) || !ConflictOriginal(name).isEmpty();
}

} // namespace qbSyncNames
