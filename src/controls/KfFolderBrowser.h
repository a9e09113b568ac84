#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

// The window of the folder browse dialog: a tree of the file system's folders, a status line,
// a new-folder button, OK and Cancel. TKfFolderDialog creates one for each run.
class TKfFolderBrowser : public QDialog {
    Q_OBJECT
public:
    // Asks for a new folder's name; nullopt when the user cancelled.
    using TNamePrompt = std::function<std::optional<QString>(QWidget* parent, const QString& title)>;

    // rootPath: the top of the tree; "/" shows the whole file system with the home folder open.
    TKfFolderBrowser(const QString& rootPath, const QString& languageKey, QWidget* parent = nullptr);

    void SetLabelCaption(const QString& text);
    void SetNewFolderCaption(const QString& text);
    void SetShowPath(bool on);
    void SetOnlyFileSystem(bool on);
    void SetNewFolderVisible(bool on);
    void SetNewFolderEnabled(bool on);
    void SetNamePrompt(TNamePrompt prompt) { m_namePrompt = std::move(prompt); }

    // Hidden folders (names beginning with ".") are shown on request.
    bool ShowHidden() const;
    void SetShowHidden(bool on);

    // Selects an existing folder (and opens the tree down to it), showing hidden folders when
    // it lies in one; false for anything else.
    bool SelectFolder(const QString& path);
    // The selected folder's path; empty while nothing is selected.
    QString WorkingPath() const { return m_workingPath; }
    QString StatusText() const;

    // The new-folder command: asks for a name, then CreateNewFolder.
    void NewFolderCommand();
    // Creates the folder with its missing parents under the working path and selects it; on
    // failure says so in a box and keeps the selection.
    bool CreateNewFolder(const QString& name);

    QTreeView* Tree() const { return m_tree; }
    QPushButton* NewFolderButton() const { return m_btnNewFolder; }
    QCheckBox* HiddenCheck() const { return m_chkHidden; }
    QPushButton* OkButton() const { return m_btnOk; }
    QPushButton* CancelButton() const { return m_btnCancel; }

signals:
    void SelectionChanged(const QString& workingPath);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CurrentChanged(const QModelIndex& current);
    void UpdateButtons();
    void LayOut();
    int Scaled(int pixels) const;

    QString m_languageKey;
    QString m_newFolderCaption;
    QString m_workingPath;
    bool m_showPath = true;
    bool m_onlyFileSystem = false;
    bool m_newFolderVisible = true;
    bool m_newFolderEnabled = true;
    bool m_centred = false;
    bool m_followSelection = true;
    TNamePrompt m_namePrompt;

    QFileSystemModel* m_model = nullptr;
    QLabel* m_label = nullptr;
    QLabel* m_status = nullptr;
    QTreeView* m_tree = nullptr;
    QCheckBox* m_chkHidden = nullptr;
    QPushButton* m_btnNewFolder = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
