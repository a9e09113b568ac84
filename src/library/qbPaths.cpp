#include "library/qbPaths.h"

#include <QDir>

namespace qbPaths {

bool IsDelimiter(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

static qsizetype LastDelimiter(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (IsDelimiter(path.at(i)))
            return i;
    return -1;
}

QString DirectoryPart(const QString& path) {
    return path.left(LastDelimiter(path) + 1);
}

QString LastComponent(const QString& path) {
    return path.mid(LastDelimiter(path) + 1);
}

} // namespace qbPaths

QString FileNameNoExt(const QString& path) {
    const QString name = qbPaths::LastComponent(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString StripTrailingDelim(const QString& path) {
    if (!path.isEmpty() && qbPaths::IsDelimiter(path.back()))
        return path.chopped(1);
    return path;
}

QString ShortenPath(const QString& path, const TqbTextWidth& width, int maxWidth) {
    using namespace qbPaths;
    const QString p = StripTrailingDelim(path);
    const auto shown = [](const QString& s) { return QDir::toNativeSeparators(s); };
    if (width(shown(p)) < maxWidth)
        return shown(p);
    const QString name = LastComponent(p);
    // The immediate parent is never shown in a shortened form.
    QString head = StripTrailingDelim(DirectoryPart(StripTrailingDelim(DirectoryPart(p))));
    while (!head.isEmpty()) {
        const QString candidate = shown(head + "/.../" + name);
        if (width(candidate) < maxWidth)
            return candidate;
        head = StripTrailingDelim(DirectoryPart(head));
    }
    return shown(name);
}
