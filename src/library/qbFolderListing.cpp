#include "library/qbFolderListing.h"

#include "library/qbNoteInfo.h"
#include "platform/qbNativeNames.h"

#include <QCollator>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <numeric>
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

std::vector<qsizetype> LocaleOrder(const QStringList& names) {
    std::vector<qsizetype> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    if (names.size() < 2)
        return order;
    const auto sortBy = [&](auto compare) {
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int c = compare(a, b);
            // Names equal but for case still get one fixed order.
            return c != 0 ? c < 0 : names.at(a) < names.at(b);
        });
    };
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    if (collator.locale().language() == QLocale::C) {
        // The C collator's sort keys ignore the case setting: fold case here instead.
        QStringList folded;
        folded.reserve(names.size());
        for (const QString& name : names)
            folded.append(name.toCaseFolded());
        sortBy([&](qsizetype a, qsizetype b) { return folded.at(a).compare(folded.at(b)); });
        return order;
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.push_back(collator.sortKey(name));
    sortBy([&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]); });
    return order;
}

template <typename T> void Reorder(QList<T>& items, const std::vector<qsizetype>& order) {
    QList<T> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : order)
        sorted.append(std::move(items[i]));
    items.swap(sorted);
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

void SortByLocale(QStringList& names) {
    Reorder(names, LocaleOrder(names));
}

void SortByLocale(QList<TqbListedName>& names) {
    QStringList texts;
    texts.reserve(names.size());
    for (const TqbListedName& entry : std::as_const(names))
        texts.append(entry.Name);
    Reorder(names, LocaleOrder(texts));
}

TqbFolderListing ListFolder(const QString& dir, const QString& noteExt,
                            const QString& libraryRoot) {
    TqbFolderListing listing;
    // Asked only when a link turns up.
    std::optional<std::optional<fs::path>> root;
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
    SortByLocale(listing.Folders);
    SortByLocale(listing.NoteFiles);
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
        if (!name.empty() && name.front() != '.' && name != description)
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
