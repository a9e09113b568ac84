#include "library/qbNameOrder.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace qbNameOrder {

namespace {

// A collator is not safe to share between threads: each has its own.
const QCollator& Collator() {
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Korean, QLocale::SouthKorea));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

int Sign(int c) {
    return (c > 0) - (c < 0);
}

} // namespace

int Compare(const QString& a, const QString& b) {
    const int c = Collator().compare(a, b);
    return c != 0 ? Sign(c) : Sign(a.compare(b));
}

int CompareItems(bool aFolder, const QString& a, bool bFolder, const QString& b) {
    if (aFolder != bFolder)
        return aFolder ? -1 : 1;
    return Compare(a, b);
}

TKey::TKey(const QString& name) : m_key(Collator().sortKey(name)), m_name(name) {}

int TKey::Compare(const TKey& other) const {
    if (m_key && other.m_key) {
        if (const int c = m_key->compare(*other.m_key))
            return Sign(c);
    } else if (m_key || other.m_key) {
        return m_key ? 1 : -1;
    }
    return Sign(m_name.compare(other.m_name));
}

std::vector<qsizetype> SortedIndices(const QStringList& names) {
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    if (names.size() < 2)
        return order;
    std::vector<TKey> keys;
    keys.reserve(size_t(names.size()));
    for (const QString& name : names)
        keys.emplace_back(name);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return keys[size_t(a)].Compare(keys[size_t(b)]) < 0;
    });
    return order;
}

void Sort(QStringList& names) {
    Sort(names, [](const QString& name) { return name; });
}

} // namespace qbNameOrder
