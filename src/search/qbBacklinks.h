#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The notes that link to a note, found by reading the pages, not from an index: a fast byte
// scan for the target's file name, in the forms an href may hold it, picks the candidates, and
// only their hrefs are resolved.
namespace qbBacklinks {

// The byte forms an href to target holds of its name's longest piece free of characters a writer
// may encode or not: as typed (UTF-8, UTF-16 and code page 949), percent-encoded (from UTF-8 and
// code page 949) and as numeric character references. A folder page is linked by its folder's
// name. Folded as the byte search wants them.
QList<QByteArray> Needles(const QString& target);

// Whether a page's bytes hold target's name in one of the forms Needles gives.
class TNameScan {
public:
    explicit TNameScan(const QString& target);
    ~TNameScan();
    bool In(const QByteArray& page) const;

private:
    struct TSearches;
    std::unique_ptr<TSearches> m_searches;
};

// Whether the page at pagePath, with these bytes, has an href (or a frame) that leads to target.
bool LinksTo(const QByteArray& page, const QString& pagePath, const QString& target);

// The pages under root (as the folder search takes them) that take accepts, in the walk's order;
// take is called from several threads at once with each page's bytes.
using TPageTest = std::function<bool(const QByteArray& page, const QString& path)>;
QStringList PagesWhere(const QString& root, const TPageTest& take);

// The pages under root that link to target, in the walk's order, the target itself left out.
QStringList LinkingPages(const QString& root, const QString& target);

} // namespace qbBacklinks
