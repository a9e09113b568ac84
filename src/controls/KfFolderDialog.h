#pragma once

#include "controls/KfFolderBrowser.h"

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QDialog;

// Browse flags, by the values the shell gave them. Only OnlyFileSystem and ShowPath change
// anything here: every folder of this tree is a file-system folder.
enum class TKfBrowseFlag {
    OnlyComputers = 0x1000,
    OnlyPrinters = 0x2000,
    OnlyDomains = 0x2,
    OnlyAncestors = 0x8,
    OnlyFileSystem = 0x1, // OK only for a selection with a file-system path
    ShowPath = 0x4,       // the status line shows the selection's path
};
Q_DECLARE_FLAGS(TKfBrowseFlags, TKfBrowseFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TKfBrowseFlags)

enum class TKfRootFolder {
    foDesktop, foDesktopExpanded, foPrograms, foControlPanel, foPrinters, foPersonal,
    foFavorites, foStartup, foRecent, foSendto, foRecycleBin, foStartMenu, foDesktopFolder,
    foMyComputer, foNetwork, foNetworkNeighborhood, foFonts, foTemplates,
};

// A folder chooser with a new-folder button and texts in the system's language. The window
// exists only while RunFolderBrowser runs.
class TKfFolderDialog : public QObject {
    Q_OBJECT
public:
    // languageKey: the Windows language identifier that picks the captions; the system's when
    // empty.
    explicit TKfFolderDialog(QObject* owner = nullptr, const QString& languageKey = {});
    ~TKfFolderDialog() override;

    // In: the folder to select first (when it exists). Out: the chosen folder.
    QString Folder() const { return m_folder; }
    void SetFolder(const QString& folder) { m_folder = folder; }

    TKfBrowseFlags Flags() const { return m_flags; }
    void SetFlags(TKfBrowseFlags flags);
    TKfRootFolder RootFolder() const { return m_rootFolder; }
    void SetRootFolder(TKfRootFolder root) { m_rootFolder = root; }

    bool NewFolderVisible() const { return m_newFolderVisible; }
    void SetNewFolderVisible(bool on);
    bool NewFolderEnabled() const { return m_newFolderEnabled; }
    void SetNewFolderEnabled(bool on);

    const QStringList& LabelCaptions() const { return m_labelCaptions; }
    void SetLabelCaptions(const QStringList& lines);
    const QStringList& NewFolderCaptions() const { return m_newFolderCaptions; }
    void SetNewFolderCaptions(const QStringList& lines);
    QString LabelCaption() const { return m_labelCaption; }
    QString NewFolderCaption() const { return m_newFolderCaption; }

    QString Version() const { return QStringLiteral("3.00.00.00"); }
    void SetVersion(const QString&) {}
    QString LanguageKey() const { return m_languageKey; }

    // The window the dialog is owned by; the owner when it is a widget, else the active window.
    void SetParentWindow(QWidget* window) { m_parentWindow = window; }
    void SetNamePrompt(TKfFolderBrowser::TNamePrompt prompt) { m_namePrompt = std::move(prompt); }

    // True when the user confirmed a folder; Folder then holds it.
    bool RunFolderBrowser();
    // The open window, for OnInitialized and OnSelectionChanged; null when closed.
    TKfFolderBrowser* DialogWindow() const { return m_browser; }

    // The folder a root stands for here; "/" is the whole file system.
    static QString RootFolderPath(TKfRootFolder root);

signals:
    void OnInitialized(QDialog* dialog);
    void OnSelectionChanged(QDialog* dialog, const QString& folder);

private:
    QWidget* OwnerWindow() const;

    QString m_languageKey;
    QString m_folder;
    TKfBrowseFlags m_flags = TKfBrowseFlag::ShowPath;
    TKfRootFolder m_rootFolder = TKfRootFolder::foDesktopExpanded;
    bool m_newFolderVisible = true;
    bool m_newFolderEnabled = true;
    QStringList m_labelCaptions;
    QStringList m_newFolderCaptions;
    QString m_labelCaption;
    QString m_newFolderCaption;
    QPointer<QWidget> m_parentWindow;
    TKfFolderBrowser::TNamePrompt m_namePrompt;
    TKfFolderBrowser* m_browser = nullptr;
};
