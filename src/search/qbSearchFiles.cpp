#include "search/qbSearchFiles.h"

#include "library/qbFolderListing.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbSyncNames.h"

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

void Walk(const QByteArray& dir, const std::function<void(const QByteArray&)>& add,
          const std::atomic<bool>* stop) {
    std::error_code error;
    fs::directory_iterator it(fs::path((dir + '/').toStdString()), error);
    if (error)
        return;
    QList<TqbListedName> folders;
    QList<TqbListedName> pages;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error || (stop && *stop))
            break;
        const QByteArray raw = QByteArray::fromStdString(it->path().filename().native());
        if (raw.isEmpty() || raw.startsWith('.'))
            continue;
        std::optional<TqbListedName> entry = ListedName(raw);
        if (!entry)
            continue;
        std::error_code kindError;
        const bool link = it->is_symlink(kindError);
        if (!link && it->is_directory(kindError))
            folders.append(std::move(*entry));
        else if (IsSearchedPage(entry->Name) && IsPageFile(*it, link))
            pages.append(std::move(*entry));
    }
    // A conflict copy beside its original is no page of its own, as the tree does not show it.
    QSet<QString> names;
    for (const TqbListedName& page : std::as_const(pages))
        names.insert(page.Name);
    pages.removeIf([&names](const TqbListedName& page) {
        return names.contains(qbSyncNames::ConflictOriginal(page.Name));
    });
    // The tree's order: the folder's own page stands for the folder, then its folders, then
    // its notes.
    qbNameOrder::Sort(folders, [](const TqbListedName& entry) { return entry.Name; });
    qbNameOrder::Sort(pages, [](const TqbListedName& entry) { return FileNameNoExt(entry.Name); });
    for (const TqbListedName& page : std::as_const(pages))
        if (page.Name == TqbNoteInfo::FolderDescriptionName)
            add(dir + '/' + NativeName(page));
    for (const TqbListedName& folder : std::as_const(folders))
        Walk(dir + '/' + NativeName(folder), add, stop);
    for (const TqbListedName& page : std::as_const(pages))
        if (page.Name != TqbNoteInfo::FolderDescriptionName)
            add(dir + '/' + NativeName(page));
}

} // namespace

void CollectSearchFiles(const QString& dir, QList<QByteArray>& files,
                        const std::atomic<bool>* stop) {
    CollectSearchFiles(dir, [&files](const QByteArray& path) { files.append(path); }, stop);
}

void CollectSearchFiles(const QString& dir, const std::function<void(const QByteArray&)>& add,
                        const std::atomic<bool>* stop) {
    Walk(QFile::encodeName(dir), add, stop);
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

QString SearchRowFolder(const QString& root, const QString& path) {
    QString folder = StripTrailingDelim(qbPaths::DirectoryPart(path));
    if (path.endsWith(u".qb"))
        folder = StripTrailingDelim(qbPaths::DirectoryPart(folder));
    const QString top = StripTrailingDelim(root);
    return folder.size() > top.size() ? folder.mid(top.size() + 1) : QString();
}

} // namespace qbSearch
