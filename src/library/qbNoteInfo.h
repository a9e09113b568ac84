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

    // The "DirData" value as stored (an empty value counts as missing). Creates the last level
    // of the folder when it does not exist; a missing parent creates nothing and is not reported.
    QString GetDataDir() const;
    void SetDataDir(const QString& path);

    // "DefHeader.dat" when it exists and can be read, else the built-in page.
    void LoadDefaultHeader();
    const QStringList& DefaultHeader() const { return m_defaultHeader; }

    static QStringList BuiltInHeader();
    static inline const QString FolderDescriptionName = QStringLiteral("___폴더설명.qb");

private:
    const TqbPrjInfo& m_prjInfo;
    QStringList m_defaultHeader;
};
