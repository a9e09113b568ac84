#pragma once
// Rows of a tree view found by what they show, for tests that drive the note tree.

#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QStringList>

// The rows among those read so far that show text, however deep.
inline QModelIndexList qbRowsShowing(const QAbstractItemView& view, const QString& text,
                                     int hits = -1) {
    const QAbstractItemModel* model = view.model();
    return model->match(model->index(0, 0), Qt::DisplayRole, text, hits,
                        Qt::MatchExactly | Qt::MatchRecursive);
}

// The first of them; none when there is none. Held across changes of the rows.
inline QPersistentModelIndex qbRowOf(const QAbstractItemView& view, const QString& text) {
    return QPersistentModelIndex(qbRowsShowing(view, text, 1).value(0));
}

// What parent's rows show, in their order.
inline QStringList qbRowTexts(const QAbstractItemView& view, const QModelIndex& parent = {}) {
    QStringList texts;
    for (int row = 0; row < view.model()->rowCount(parent); ++row)
        texts << view.model()->index(row, 0, parent).data().toString();
    return texts;
}
