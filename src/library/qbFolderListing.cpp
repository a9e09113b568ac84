#include "library/qbFolderListing.h"

#include "library/qbNameOrder.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbSyncNames.h"
#include "platform/qbNativeNames.h"

#include <QFile>
#include <QSet>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path NativeDir(const QByteArray& dir) {
    return fs::path(dir.endsWith('/') ? dir.toStdString() : dir.toStdString() + '/');
}

fs::path NativeDir(const QString& dir) {
    return NativeDir(QFile::encodeName(dir));
}

// Component-wise, so "/lib2" is not inside "/lib".
bool IsInside(const fs::path& path, const fs::path& root) {
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p) {
        if (r->empty())
            continue; // the empty last element of a root ending in "/"
        if (p == path.end() || *p != *r)
            return false;
    }
    return true;
}

std::optional<fs::path> Canonical(const fs::path& path) {
    std::error_code ec;
    fs::path result = fs::canonical(path, ec);
    if (ec)
        return std::nullopt;
    return result;
}

} // namespace

std::optional<TqbListedName> ListedName(const QByteArray& raw) {
    std::optional<qbNativeNames::TDecoded> decoded = qbNativeNames::Decode(raw);
    if (!decoded)
        return std::nullopt;
    return TqbListedName{std::move(decoded->Name), decoded->Cp949 ? raw : QByteArray()};
}

QByteArray NativeName(const TqbListedName& entry) {
    return entry.RawName.isEmpty() ? QFile::encodeName(entry.Name) : entry.RawName;
}

bool IsNoteFileName(const QString& name, const QString& noteExt) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || name.size() - dot != noteExt.size())
        return false;
    for (qsizetype i = 0; i < noteExt.size(); ++i) {
        char16_t c = name.at(dot + i).unicode();
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (c != noteExt.at(i).unicode())
            return false;
    }
    return true;
}

TqbFolderListing ListFolder(const QString& dir, const QString& noteExt,
                            const QString& libraryRoot) {
    TqbFolderListing listing;
    // Asked only when a link turns up.
    std::optional<std::optional<fs::path>> root;
    // Conflict copies that are notes, and the names of all files, to find their originals by.
    QList<TqbListedName> copies;
    QSet<QString> files;
    std::error_code ec;
    fs::directory_iterator it(NativeDir(dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().native();
        if (name.empty() || name.front() == '.')
            continue;
        std::optional<TqbListedName> decoded = ListedName(QByteArray::fromStdString(name));
        if (!decoded)
            continue;
        TqbListedName& listed = *decoded;
        // The entry's cached type answers without a system call, except for links.
        std::error_code kindEc;
        const bool link = entry.is_symlink(kindEc);
        if (!link && entry.is_directory(kindEc)) {
            if (name != "__images")
                listing.Folders.append(std::move(listed));
            continue;
        }
        files.insert(listed.Name);
        if (qbSyncNames::IsTemporary(listed.Name))
            continue;
        const QString original = qbSyncNames::ConflictOriginal(listed.Name);
        if (!original.isEmpty() && !link && entry.is_regular_file(kindEc)) {
            copies.append(std::move(listed));
            continue;
        }
        if (!IsNoteFileName(listed.Name, noteExt) || !entry.is_regular_file(kindEc))
            continue;
        if (link) {
            // A page reached through a link must not be edited outside the library.
            if (!root)
                root = Canonical(NativeDir(libraryRoot));
            const std::optional<fs::path> target = Canonical(entry.path());
            if (!*root || !target || !IsInside(*target, **root))
                continue;
        }
        listing.NoteFiles.append(std::move(listed));
    }
    for (TqbListedName& copy : copies) {
        const QString original = qbSyncNames::ConflictOriginal(copy.Name);
        if (files.contains(original)) {
            if (!listing.Conflicted.contains(original))
                listing.Conflicted << original;
        } else if (IsNoteFileName(copy.Name, noteExt)) {
            listing.NoteFiles.append(std::move(copy));
        }
    }
    qbNameOrder::Sort(listing.Conflicted);
    qbNameOrder::Sort(listing.Folders, [](const TqbListedName& entry) { return entry.Name; });
    qbNameOrder::Sort(listing.NoteFiles,
                      [](const TqbListedName& entry) { return FileNameNoExt(entry.Name); });
    return listing;
}

bool FolderHasEntries(const QString& dir) {
    return FolderHasEntries(QFile::encodeName(dir));
}

bool FolderHasEntries(const QByteArray& nativeDir) {
    static const std::string description =
        QFile::encodeName(TqbNoteInfo::FolderDescriptionName).toStdString();
    std::error_code ec;
    fs::directory_iterator it(NativeDir(nativeDir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (name.empty() || name.front() == '.' || name == description)
            continue;
        const QString decoded = QFile::decodeName(QByteArray::fromStdString(name));
        if (!qbSyncNames::IsTemporary(decoded) &&
            qbSyncNames::ConflictOriginal(decoded) != TqbNoteInfo::FolderDescriptionName)
            return true;
    }
    return false;
}

TqbDocumentAccess DocumentAccess(const QString& path, const QString& libraryRoot) {
    const std::optional<fs::path> root = Canonical(NativeDir(libraryRoot));
    const fs::path native(QFile::encodeName(path).toStdString());
    std::error_code ec;
    const fs::file_status own = fs::symlink_status(native, ec);
    if (own.type() == fs::file_type::not_found) {
        // Opening creates it: its folder must be a real place in the library.
        const std::optional<fs::path> folder = Canonical(native.parent_path());
        if (!folder || !fs::is_directory(*folder, ec))
            return TqbDocumentAccess::NotRegular;
        return root && IsInside(*folder, *root) ? TqbDocumentAccess::Missing
                                                : TqbDocumentAccess::OutsideLibrary;
    }
    const std::optional<fs::path> target = Canonical(native);
    if (!target)
        return TqbDocumentAccess::NotRegular;
    if (!root || !IsInside(*target, *root))
        return TqbDocumentAccess::OutsideLibrary;
    if (fs::is_directory(*target, ec))
        return TqbDocumentAccess::Folder;
    return fs::is_regular_file(*target, ec) ? TqbDocumentAccess::Usable
                                            : TqbDocumentAccess::NotRegular;
}
