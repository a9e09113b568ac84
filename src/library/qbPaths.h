#pragma once

#include <QString>
#include <functional>

// Paths inside the program use "/"; a folder path may end in "/". The drive colon counts as a
// delimiter only on platforms with drive letters.
namespace qbPaths {

bool IsDelimiter(QChar c);

// Everything up to and including the last delimiter; empty when there is none.
QString DirectoryPart(const QString& path);
// Everything after the last delimiter; the whole path when there is none.
QString LastComponent(const QString& path);

} // namespace qbPaths

// The last component without its extension: "a.b.htm" gives "a.b", "memo" gives "memo".
QString FileNameNoExt(const QString& path);
// Without one trailing delimiter: "/a/b/" gives "/a/b"; only one character goes.
QString StripTrailingDelim(const QString& path);

using TqbTextWidth = std::function<int(const QString&)>;
// The path, shortened with "/.../" until narrower than maxWidth, in the platform's native
// separators; the last component alone when nothing fits.
QString ShortenPath(const QString& path, const TqbTextWidth& width, int maxWidth);
