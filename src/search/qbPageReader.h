#pragma once

#include <QByteArray>
#include <QString>

// Reads whole pages for the search. The walk hands it regular files only; should something else
// have taken a page's name since, it is never waited for: a FIFO gives what it holds at once, and
// what does not end (a device) is refused. So a search always ends and can always be stopped.
// Keeps its buffer, and the folder it read from last, from file to file: pages come folder by
// folder.
class TqbPageReader {
public:
    TqbPageReader() = default;
    ~TqbPageReader();
    TqbPageReader(const TqbPageReader&) = delete;
    TqbPageReader& operator=(const TqbPageReader&) = delete;

    // The bytes of the file at nativePath (its path's own bytes, which need not be in the file
    // name encoding), valid until the next call. Throws EqbError naming the file as the tree
    // shows it, with the reason, when it cannot be read.
    const QByteArray& Read(const QByteArray& nativePath);

private:
    int OpenInFolder(const QByteArray& path);

    QByteArray m_bytes;
    QByteArray m_folder;
    int m_folderFd = -1;
};
