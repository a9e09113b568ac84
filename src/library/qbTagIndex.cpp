#include "library/qbTagIndex.h"

#include "library/qbFolderListing.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteTags.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// The head of a page lies within this; a longer one is not worth reading at every change.
constexpr qint64 HeadScan = 256 * 1024;
} // namespace

QStringList TqbTagIndex::TagsOf(const QString& path) {
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    const auto found = m_entries.constFind(path);
    if (found != m_entries.cend() && found->Size == size && found->Modified == modified)
        return found->Tags;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_entries.remove(path);
        return {};
    }
    const QStringList tags = qbNoteTags::Read(file.read(HeadScan));
    m_entries.insert(path, {size, modified, tags});
    return tags;
}

QStringList TqbTagIndex::NotesBelow(const QString& root, const QString& noteExt) {
    const QString top = root.endsWith(u'/') && root.size() > 1 ? root.chopped(1) : root;
    QStringList notes;
    QStringList pending = {top};
    while (!pending.isEmpty()) {
        const QString dir = pending.takeFirst();
        const TqbFolderListing listing = ListFolder(dir, noteExt, top);
        for (const TqbListedName& folder : listing.Folders)
            if (folder.RawName.isEmpty())
                pending.append(dir + u'/' + folder.Name);
        for (const TqbListedName& note : listing.NoteFiles)
            if (note.RawName.isEmpty())
                notes.append(dir + u'/' + note.Name);
    }
    return notes;
}

QList<TqbTagCount> TqbTagIndex::Count(const QStringList& paths) {
    QList<TqbTagCount> counts;
    QHash<QString, qsizetype> where;
    for (const QString& path : paths)
        for (const QString& tag : TagsOf(path)) {
            const QString key = tag.toCaseFolded();
            const auto found = where.constFind(key);
            if (found != where.cend()) {
                ++counts[*found].Notes;
            } else {
                where.insert(key, counts.size());
                counts.append({tag, 1});
            }
        }
    std::stable_sort(counts.begin(), counts.end(), [](const TqbTagCount& a, const TqbTagCount& b) {
        return qbNameOrder::Compare(a.Tag, b.Tag) < 0;
    });
    return counts;
}

bool TqbTagIndex::Carries(const QString& path, const QString& tag) {
    const QStringList tags = TagsOf(path);
    return std::any_of(tags.cbegin(), tags.cend(), [&](const QString& carried) {
        return carried.compare(tag, Qt::CaseInsensitive) == 0;
    });
}
