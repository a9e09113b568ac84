#include "search/qbSearchFiles.h"

#include "library/qbFolderListing.h"
#include "library/qbPaths.h"

#include <QFile>
#include <QSet>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qbSearch {

namespace {

bool IsSearchedPage(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = QStringView(name).sliced(dot);
    return ext == u".htm" || ext == u".qb";
}

} // namespace

void CollectSearchFiles(const QString& dir, QStringList& files) {
    std::error_code error;
    fs::directory_iterator it(fs::path(QFile::encodeName(dir + u'/').toStdString()), error);
    if (error)
        return;
    QSet<QString> folders;
    QStringList entries;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        const QString name = QFile::decodeName(it->path().filename().c_str());
        if (name.isEmpty() || name.startsWith(u'.'))
            continue;
        std::error_code kindError;
        if (it->is_symlink(kindError)) {
            // A link to a directory is not walked; a link to a page is read like the page.
            if (!it->is_directory(kindError) && IsSearchedPage(name))
                entries.append(name);
        } else if (it->is_directory(kindError)) {
            folders.insert(name);
            entries.append(name);
        } else if (IsSearchedPage(name)) {
            entries.append(name);
        }
    }
    SortByLocale(entries);
    for (const QString& name : std::as_const(entries)) {
        const QString path = dir + u'/' + name;
        if (folders.contains(name))
            CollectSearchFiles(path, files);
        else
            files.append(path);
    }
}

QString SearchRowLabel(const QString& root, const QString& path) {
    if (!path.endsWith(u".qb"))
        return FileNameNoExt(path);
    // The folder's whole name, as the tree shows it: "v1.2" stays "v1.2".
    const QString folder = StripTrailingDelim(qbPaths::DirectoryPart(path));
    if (folder.size() <= StripTrailingDelim(root).size())
        return {};
    return qbPaths::LastComponent(folder);
}

} // namespace qbSearch
