#include "library/qbFolderListing.h"

#include "library/qbNoteInfo.h"

#include <QCollator>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path NativeDir(const QString& dir) {
    const QString withDelim = dir.endsWith(u'/') ? dir : dir + u'/';
    return fs::path(QFile::encodeName(withDelim).toStdString());
}

// A name that does not decode to text and back to the same bytes would name another file.
bool Decode(const std::string& raw, QString& name) {
    name = QFile::decodeName(raw.c_str());
    return !name.contains(QChar::ReplacementCharacter) ||
           QFile::encodeName(name).toStdString() == raw;
}

template <typename Compare> void SortByOrder(QStringList& names, Compare compare) {
    std::vector<qsizetype> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int c = compare(a, b);
        // Names equal but for case still get one fixed order.
        return c != 0 ? c < 0 : names.at(a) < names.at(b);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order)
        sorted.append(names.at(i));
    names.swap(sorted);
}

} // namespace

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
    if (names.size() < 2)
        return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    if (collator.locale().language() == QLocale::C) {
        // The C collator's sort keys ignore the case setting: fold case here instead.
        QStringList folded;
        folded.reserve(names.size());
        for (const QString& name : std::as_const(names))
            folded.append(name.toCaseFolded());
        SortByOrder(names,
                    [&](qsizetype a, qsizetype b) { return folded.at(a).compare(folded.at(b)); });
        return;
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : std::as_const(names))
        keys.push_back(collator.sortKey(name));
    SortByOrder(names, [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]); });
}

TqbFolderListing ListFolder(const QString& dir, const QString& noteExt) {
    TqbFolderListing listing;
    std::error_code ec;
    fs::directory_iterator it(NativeDir(dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().native();
        if (name.empty() || name.front() == '.')
            continue;
        // The entry's cached type answers without a system call, except for links.
        QString decoded;
        if (!Decode(name, decoded))
            continue;
        std::error_code kindEc;
        const bool link = entry.is_symlink(kindEc);
        if (!link && entry.is_directory(kindEc)) {
            if (name != "__images")
                listing.Folders.append(decoded);
            continue;
        }
        // Pipes, devices and dangling links are not notes: opening them would hang or fail.
        if (IsNoteFileName(decoded, noteExt) && entry.is_regular_file(kindEc))
            listing.NoteFiles.append(decoded);
    }
    SortByLocale(listing.Folders);
    SortByLocale(listing.NoteFiles);
    return listing;
}

bool FolderHasEntries(const QString& dir) {
    static const std::string description =
        QFile::encodeName(TqbNoteInfo::FolderDescriptionName).toStdString();
    std::error_code ec;
    fs::directory_iterator it(NativeDir(dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().native();
        if (!name.empty() && name.front() != '.' && name != description)
            return true;
    }
    return false;
}
