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

// A link to a page is read like the page, and one whose target is gone is listed so that the
// search can name it; a link to a folder is not walked.
bool IsPageFile(const fs::directory_entry& entry, bool link) {
    std::error_code error;
    // The entry knows its own type from the listing; only a link costs a look at its target.
    if (!link)
        return entry.is_regular_file(error);
    const fs::file_status status = entry.status(error);
    if (status.type() == fs::file_type::not_found)
        return true;
    return !error && fs::is_regular_file(status);
}

} // namespace

void CollectSearchFiles(const QString& dir, QStringList& files, const std::atomic<bool>* stop) {
    CollectSearchFiles(dir, [&files](const QString& path) { files.append(path); }, stop);
}

void CollectSearchFiles(const QString& dir, const std::function<void(const QString&)>& add,
                        const std::atomic<bool>* stop) {
    std::error_code error;
    fs::directory_iterator it(fs::path(QFile::encodeName(dir + u'/').toStdString()), error);
    if (error)
        return;
    QSet<QString> folders;
    QStringList entries;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error || (stop && *stop))
            break;
        const QString name = QFile::decodeName(it->path().filename().c_str());
        if (name.isEmpty() || name.startsWith(u'.'))
            continue;
        std::error_code kindError;
        const bool link = it->is_symlink(kindError);
        if (!link && it->is_directory(kindError)) {
            folders.insert(name);
            entries.append(name);
        } else if (IsSearchedPage(name) && IsPageFile(*it, link)) {
            entries.append(name);
        }
    }
    SortByLocale(entries);
    for (const QString& name : std::as_const(entries)) {
        const QString path = dir + u'/' + name;
        if (folders.contains(name))
            CollectSearchFiles(path, add, stop);
        else
            add(path);
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
