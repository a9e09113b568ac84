#pragma once

#include <QCollatorSortKey>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The one order in which the program lists names: as a Korean reader expects them (the Korean
// collation, case aside), numbers by their value ("노트 2" before "노트 10"). It does not follow
// the user's own locale, so a folder reads the same from one run to the next; names equal but
// for case still get one fixed order. Lists of items put folders before notes, and a note is
// ordered by its name without the extension.
namespace qbNameOrder {

// Below zero when a comes first; zero only for the same text.
int Compare(const QString& a, const QString& b);
int CompareItems(bool aFolder, const QString& a, bool bFolder, const QString& b);

// A name prepared once for many comparisons, as a sort of thousands needs; comparing two keys
// answers as Compare does for their names. Safe to make on any thread.
class TKey {
public:
    TKey() = default;
    explicit TKey(const QString& name);
    int Compare(const TKey& other) const;

private:
    std::optional<QCollatorSortKey> m_key;
    QString m_name;
};

// The order of names: one key each, then a sort of their indices.
std::vector<qsizetype> SortedIndices(const QStringList& names);

void Sort(QStringList& names);
// Sorts items by the names nameOf(item) gives them.
template <typename T, typename F> void Sort(QList<T>& items, F nameOf) {
    QStringList names;
    names.reserve(items.size());
    for (const T& item : std::as_const(items))
        names.append(nameOf(item));
    QList<T> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : SortedIndices(names))
        sorted.append(std::move(items[i]));
    items.swap(sorted);
}

} // namespace qbNameOrder
