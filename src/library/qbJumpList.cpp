#include "library/qbJumpList.h"

#include "library/qbTreeRules.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>

const QString TqbJumpList::GoneMessage =
    QStringLiteral("\"%1\" 이(가) 없습니다. 지워졌거나 다른 곳으로 옮겨졌습니다.");

TqbJumpList::TqbJumpList(QObject* parent) : QObject(parent) {
    connect(&m_gatherer, &TqbNameGatherer::Batch, this, &TqbJumpList::AddNames);
    connect(&m_gatherer, &TqbNameGatherer::Finished, this, [this] {
        m_gathering = false;
        emit GatheringFinished();
    });
}

void TqbJumpList::SetRecent(const QStringList& recent) {
    m_recent.clear();
    for (int i = 0; i < recent.size(); ++i)
        m_recent.insert(recent[i], i);
    for (int i = 0; i < m_names.size(); ++i)
        m_recency[size_t(i)] = m_recent.value(m_names[i].Path, INT_MAX);
    Rerank();
}

void TqbJumpList::Start(const QString& root, const QString& noteExt) {
    m_names.clear();
    m_nameTags.clear();
    m_recency.clear();
    m_gone.clear();
    m_goneCount = 0;
    m_rows.clear();
    m_matchCount = 0;
    m_gathering = true;
    m_gatherer.Start(root, noteExt);
}

void TqbJumpList::AddNames(const QList<TqbGatheredName>& names) {
    const int first = int(m_names.size());
    m_names.append(names);
    std::vector<TRanked> found;
    for (int i = first; i < m_names.size(); ++i) {
        m_recency.push_back(m_recent.value(m_names[i].Path, INT_MAX));
        m_nameTags.emplace_back();
        m_gone.push_back(false);
        if (const std::optional<TRanked> ranked = Ranked(i))
            found.push_back(*ranked);
    }
    Merge(std::move(found));
}

void TqbJumpList::SetQuery(const QString& query) {
    // Batches of names call in with the same text: they were ranked as they came.
    if (query == m_queryText)
        return;
    m_queryText = query;
    m_query = qbNameMatch::PrepareQuery(query);
    m_tagQuery.reset();
    if (query.startsWith(u'#'))
        m_tagQuery = query.mid(1).trimmed().toCaseFolded();
    Rerank();
}

bool TqbJumpList::Before(const TRanked& a, const TRanked& b) const {
    if (a.Place != b.Place)
        return a.Place > b.Place;
    if (a.Recency != b.Recency)
        return a.Recency < b.Recency;
    if (a.Score != b.Score)
        return a.Score > b.Score;
    const TqbGatheredName& first = m_names[a.Index];
    const TqbGatheredName& second = m_names[b.Index];
    const bool firstFolder = first.Path.endsWith(u'/');
    if (firstFolder != second.Path.endsWith(u'/'))
        return firstFolder;
    if (const int c = first.Order.Compare(second.Order))
        return c < 0;
    return a.Index < b.Index;
}

std::optional<TqbJumpList::TRanked> TqbJumpList::Ranked(int index) const {
    if (m_gone[size_t(index)])
        return std::nullopt;
    if (m_tagQuery)
        return RankedByTag(index);
    const std::optional<int> score = qbNameMatch::Match(m_query, m_names[index].Match);
    if (!score)
        return std::nullopt;
    return TRanked{qbNameMatch::PlaceOf(*score), m_recency[size_t(index)], *score, index};
}

std::optional<TqbJumpList::TRanked> TqbJumpList::RankedByTag(int index) const {
    const QString& path = m_names[index].Path;
    if (path.endsWith(u'/'))
        return std::nullopt;
    std::optional<QStringList>& tags = m_nameTags[size_t(index)];
    if (!tags)
        tags = m_tags->TagsOf(path);
    int place = 0;
    for (const QString& tag : *tags) {
        const QString folded = tag.toCaseFolded();
        if (folded == *m_tagQuery)
            place = 2;
        else if (folded.startsWith(*m_tagQuery))
            place = std::max(place, 1);
    }
    if (place == 0)
        return std::nullopt;
    return TRanked{place, m_recency[size_t(index)], 0, index};
}

void TqbJumpList::Merge(std::vector<TRanked> found) {
    m_matchCount += int(found.size());
    found.insert(found.end(), m_rows.begin(), m_rows.end());
    const auto keep = std::min(found.size(), size_t(MaxRows));
    std::partial_sort(found.begin(), found.begin() + keep, found.end(),
                      [this](const TRanked& a, const TRanked& b) { return Before(a, b); });
    found.resize(keep);
    m_rows = std::move(found);
    emit RowsChanged();
}

void TqbJumpList::Rerank() {
    m_rows.clear();
    m_matchCount = 0;
    std::vector<TRanked> found;
    for (int i = 0; i < m_names.size(); ++i)
        if (const std::optional<TRanked> ranked = Ranked(i))
            found.push_back(*ranked);
    Merge(std::move(found));
}

std::optional<QString> TqbJumpList::Choose(int row) {
    if (row < 0 || row >= RowCount())
        return std::nullopt;
    const int index = m_rows[size_t(row)].Index;
    const QString path = m_names[index].Path;
    const QFileInfo info(path);
    if (path.endsWith(u'/') ? info.isDir() : info.isFile())
        return path;
    m_gone[size_t(index)] = true;
    ++m_goneCount;
    Rerank();
    return std::nullopt;
}

void TqbJumpList::Forget(const QString& itemPath) {
    bool any = false;
    for (int i = 0; i < m_names.size(); ++i)
        if (!m_gone[size_t(i)] && qbTreeRules::Within(m_names[i].Path, itemPath)) {
            m_gone[size_t(i)] = any = true;
            ++m_goneCount;
        }
    if (any)
        Rerank();
}
