#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// The hidden copy a page too big to hand over as data is shown from: a private folder
// ".qbview-XXXXXX" in the system temp folder, so that neither the tree nor the search ever
// lists it, holding the page as UTF-8. It lives only as long as the load that needs it; a
// crash's leftovers are recognisable by the name.
class TqbViewCopy {
public:
    // Throws EqbError when the copy cannot be written.
    explicit TqbViewCopy(const QByteArray& utf8Page);

    QString Folder() const { return m_dir.path(); }
    QString Page() const { return m_page; }
    QUrl Url() const { return QUrl::fromLocalFile(m_page); }

    static constexpr const char* NamePrefix = ".qbview-";

private:
    QTemporaryDir m_dir;
    QString m_page;
};
