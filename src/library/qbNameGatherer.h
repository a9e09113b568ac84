#pragma once

#include "library/qbNameMatch.h"
#include "library/qbNameOrder.h"

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QThread;

// One note or folder of the library as a name list shows it.
struct TqbGatheredName {
    QString Path;   // the note's file, or the folder's directory followed by "/"
    QString Name;   // the note's name without extension, or the folder's; controls made visible
    QString Folder; // where it lies, from the library's root ("" at the top), "/" between folders
    qbNameMatch::TqbMatchName Match;
    qbNameOrder::TKey Order; // of Name
    // Which file or folder it is (TqbFileStamp::FileId), so that a later rename is known.
    QByteArray Id;
};

// Lists every note and folder below a library root on a thread of its own, by the tree's listing
// rules, and hands the names over in batches (prepared for matching) while it goes on, so a list
// can answer before the walk is done. Entries whose names are in no usable encoding are left out,
// as the tree leaves them out; a folder still named in CP949 bytes is skipped with its contents.
class TqbNameGatherer : public QObject {
    Q_OBJECT
public:
    explicit TqbNameGatherer(QObject* parent = nullptr);
    // Stops the walk and waits for its thread.
    ~TqbNameGatherer() override;

    void Start(const QString& root, const QString& noteExt);
    bool Running() const;
    // Ends the walk: batches it found but not yet handed over, and its Finished, never come.
    void Stop();

signals:
    void Batch(const QList<TqbGatheredName>& names);
    // Files found with a sync engine's conflict copy beside them (qbFolderListing's Conflicted).
    void Conflicted(const QStringList& filePaths);
    void Finished();

private:
    QThread* m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_stop;
};

// A name as a list may show it: control characters (a tab or line end in a file name) as the
// symbols standing for them, so no row breaks or hides part of a name.
QString qbVisibleName(const QString& name);
