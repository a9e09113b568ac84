#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

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
    // Another note of the old folder of the moved note shows the picture.
    bool LinkedInOldFolder(const QString& oldTarget);

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
