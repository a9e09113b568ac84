#pragma once

#include <QByteArray>

// Two versions of a page shown side by side with what differs marked in each: the blocks a page
// has and the other lacks (blocks as TqbNoteMerge lays them out) carry an attribute that a style
// put into the page shows. Only for looking at: such a page is never written.
namespace qbChangeMarks {

inline const QByteArray Attribute = "data-qbchanged";
inline const QByteArray Style =
    "<style>[data-qbchanged]{background:#fff0a0 !important;outline:2px solid #e8b000}</style>";

QByteArray Marked(const QByteArray& page, const QByteArray& other);

} // namespace qbChangeMarks
