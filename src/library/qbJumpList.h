#pragma once

#include "library/qbNameGatherer.h"
#include "library/qbTagIndex.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What a "go to a note" list shows: every note and folder of the library, gathered while the
// user types, filtered and ranked by the name matcher. Within one kind of match (whole name,
// name start, word start, anywhere) recently opened notes come first, then shorter names, then
// the tree's order (folders before notes, names by qbNameOrder); with nothing typed, the recent
// ones lead and the rest follow in that order. "#tag" lists the notes carrying a tag that begins
// so (the tag itself first). No widget: the picker dialog shows it.
class TqbJumpList : public QObject {
    Q_OBJECT
public:
    // Rows beyond these are not worth a look: typing more narrows the list instead.
    static constexpr int MaxRows = 300;
    static const QString GoneMessage;

    explicit TqbJumpList(QObject* parent = nullptr);

    // Where the notes' tags come from: one that lives longer keeps what it read for the next
    // list. The list has one of its own until given another.
    void SetTagIndex(TqbTagIndex* tags) { m_tags = tags; }

    // recent: paths opened lately, the latest first (item paths: folders end in "/").
    void SetRecent(const QStringList& recent);
    // Gathers the library's names on a thread; rows follow as they arrive.
    void Start(const QString& root, const QString& noteExt);
    // Until the last batch has arrived: the walk's thread may end before its batches are in.
    bool Gathering() const { return m_gathering; }
    // Names handed in directly (the gatherer's batches arrive here too).
    void AddNames(const QList<TqbGatheredName>& names);

    // The text typed so far, a syllable still being composed included.
    void SetQuery(const QString& query);
    const QString& Query() const { return m_queryText; }

    int RowCount() const { return int(m_rows.size()); }
    // How many names match in all (the rows are the best of them).
    int MatchCount() const { return m_matchCount; }
    // The names gathered, less those gone since.
    int NameCount() const { return int(m_names.size()) - m_goneCount; }
    const TqbGatheredName& Row(int row) const { return m_names.at(m_rows.at(row).Index); }

    // The row's path when it is still on disk. A name that is gone leaves the list, and nothing
    // is returned: the caller says so (GoneMessage) rather than open a page that is not there.
    std::optional<QString> Choose(int row);
    // The library removed an item: it and what lay inside it leave the list.
    void Forget(const QString& itemPath);

signals:
    void RowsChanged();
    void GatheringFinished();

private:
    struct TRanked {
        int Place;
        int Recency; // the place in the recent list; larger for names not opened lately
        int Score;
        int Index;
    };
    bool Before(const TRanked& a, const TRanked& b) const;
    std::optional<TRanked> Ranked(int index) const;
    std::optional<TRanked> RankedByTag(int index) const;
    // Merges the ranked names into the rows, keeping the best MaxRows.
    void Merge(std::vector<TRanked> found);
    void Rerank();

    TqbNameGatherer m_gatherer;
    QList<TqbGatheredName> m_names;
    std::vector<int> m_recency;
    std::vector<bool> m_gone;
    QHash<QString, int> m_recent;
    QString m_queryText;
    qbNameMatch::TqbMatchQuery m_query;
    // After "#": the beginning of a tag (case folded); nothing for a query by name.
    std::optional<QString> m_tagQuery;
    TqbTagIndex m_ownTags;
    TqbTagIndex* m_tags = &m_ownTags;
    // Each name's tags once asked for, so no key reads a file again.
    mutable std::vector<std::optional<QStringList>> m_nameTags;
    std::vector<TRanked> m_rows;
    int m_matchCount = 0;
    int m_goneCount = 0;
    bool m_gathering = false;
};
