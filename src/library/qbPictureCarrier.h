#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

struct TqbPictureLink;

// Keeps the pictures of notes showing after a note, or a folder with notes in it, moved or got a
// new name; called once the files have moved.
//
// A picture a note keeps in its own folder ("__images/x.png", "x.png", "sub/x.png") goes with
// the note to the same place under its new folder; it is copied instead of moved while another
// note of the old folder still shows it. A folder carries its own pictures by moving. Only where
// no file can stand at the place the address now names (a picture outside the note's folder, or
// another picture of that name already there) is the address in the note changed: to the
// picture where it is, or to a copy under a free name.
class TqbPictureCarrier {
public:
    void NoteMoved(const QString& oldPath, const QString& newPath);
    void FolderMoved(const QString& oldDir, const QString& newDir);
    // After either: the library's other notes that showed a picture which moved (with the folder,
    // or with the note) show it where it is now.
    void OthersFollow(const QString& libraryRoot);
    // Before a folder goes: pictures in it that notes outside it show are copied beside those
    // notes ("__images"), which then show the copies.
    void KeepForOthers(const QString& libraryRoot, const QString& dir);

    // Called with each note file before its addresses are rewritten (to keep what it held).
    std::function<void(const QString& notePath)> BeforeRewrite;

    // One line for each picture that could not be kept showing.
    const QStringList& Failures() const { return m_failures; }
    // The note files whose text was changed.
    const QStringList& Rewritten() const { return m_rewritten; }

private:
    // The relative file a link of the note names now, for its picture at oldTarget: "" keeps it.
    QString Place(const QString& oldTarget, const QString& rel, const QString& oldDir,
                  const QString& newDir, bool mayMove);
    void CarryNote(const QString& notePath, const QString& text, const QByteArray& charset,
                   bool hadDecodingErrors, const QString& oldDir, const QString& newDir,
                   bool mayMove);
    // Where a file of the old layout is now.
    QString Current(const QString& oldPath) const;
    // Changes the addresses of each note page under the library but outside `skip` whose file
    // `newFile` gives (the relative file the address names from the note's folder; "" leaves it).
    void RewriteOthers(const QString& libraryRoot, const QString& skip,
                       const std::function<QString(const QString& noteDir, const QString& target)>&
                           newFile);
    void Rewrite(const QString& notePath, const QString& text, const QByteArray& charset,
                 bool hadDecodingErrors, QList<std::pair<TqbPictureLink, QString>> changes);
    // Another note of the old folder of the moved note shows the picture.
    bool LinkedInOldFolder(const QString& oldTarget);

    bool m_picturesMoved = false; // a picture is no longer where it was
    QString m_movedFrom;
    QString m_movedTo;
    QStringList m_failures;
    QStringList m_rewritten;
    // Pictures of the old folder's other notes, read the first time they are needed.
    QString m_oldFolder;
    std::optional<QSet<QString>> m_oldFolderPictures;
    // Decided per old picture, so a picture linked twice is placed once.
    QHash<QString, QString> m_placed;
};
