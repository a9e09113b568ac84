#pragma once

#include <QString>
#include <QStringList>

class TqbPrjInfo;

// The library's own places and the default page. Every path is recomputed on each call, so a
// changed "DirData" is seen at the next GetDataDir.
class TqbNoteInfo {
public:
    explicit TqbNoteInfo(const TqbPrjInfo& prjInfo);
    ~TqbNoteInfo();
    TqbNoteInfo(const TqbNoteInfo&) = delete;
    TqbNoteInfo& operator=(const TqbNoteInfo&) = delete;

    QString TempFileName() const;
    QString DefHeaderFileName() const;
    // Ends with "/".
    QString TemplateDir() const;
    QString AppTitle() const;

    // The "DirData" value as stored (an empty value counts as missing), a relative one taken
    // from the program folder. Creates the last level of the folder when it does not exist.
    // A value that cannot be the library (a Windows path, the program folder, a file, an
    // unreadable folder, the file system's root or the kernel's folders, a folder whose parent
    // is missing or that cannot be made) gives the default "BookData" instead, and
    // DataDirProblem() says why; the stored value stays for the next start.
    QString GetDataDir() const;
    void SetDataDir(const QString& path);
    // The library a missing "DirData" stands for: "BookData" in the program folder.
    QString DefaultDataDir() const;
    // Why the last GetDataDir did not give the stored folder, as the window shows it; empty when
    // it did.
    const QString& DataDirProblem() const { return m_dataDirProblem; }
    // Whether the last GetDataDir made the library's folder: a new library, not one the user
    // already has.
    bool DataDirCreated() const { return m_dataDirCreated; }
    // The rule GetDataDir applies to an absolute folder: why it cannot be the library (a file,
    // an unreadable folder, the file system's root, /proc or /sys), empty when it can. Makes
    // the folder's last level when it is missing.
    static QString DataDirFault(const QString& dir);

    // "DefHeader.dat" when it exists and can be read, else the built-in page.
    void LoadDefaultHeader();
    const QStringList& DefaultHeader() const { return m_defaultHeader; }

    static QStringList BuiltInHeader();
    static inline const QString FolderDescriptionName = QStringLiteral("___폴더설명.qb");

private:
    // Why the stored value (dir once resolved) cannot be the library; makes the folder when it
    // can and is missing.
    QString StoredDataDirFault(const QString& value, const QString& dir) const;

    const TqbPrjInfo& m_prjInfo;
    QStringList m_defaultHeader;
    mutable QString m_dataDirProblem;
    mutable bool m_dataDirCreated = false;
};
