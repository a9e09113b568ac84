#pragma once

#include "note/qbNoteView.h"

#include <QWidget>

class QComboBox;
class QStackedWidget;
class QToolBar;
class TColorPickerButton;
class TqbActions;
class TqbDhtmlEdit;
class TqbEditCommands;
class TqbTableCommands;
class TqbFindDialog;
class TqbInsertTools;
class TqbNoteInfo;
class TqbOpenNote;
class TqbSourceView;

// The note pane (pnlNoteBody): the editing toolbar over the HTML editor or the source editor,
// and the insert panel on the right. It shows the open note; the open note decides what.
class TqbNotePane : public QWidget, public IqbNoteView {
    Q_OBJECT
public:
    TqbNotePane(const TqbActions& actions, QWidget* parent = nullptr);
    // The commands need the open note, which needs this pane first.
    void CreateCommands(TqbOpenNote& note, const TqbNoteInfo& noteInfo, QWidget* dialogParent);

    TqbDhtmlEdit* Dhtml() const { return m_dhtml; }
    TqbSourceView* Source() const { return m_source; }
    TqbEditCommands* Commands() const { return m_commands; }
    TqbTableCommands* TableCommands() const { return m_tableCommands; }
    TColorPickerButton* FontColorPicker() const { return m_clrFont; }
    TColorPickerButton* BackColorPicker() const { return m_clrBack; }
    TqbInsertTools* InsertTools() const { return m_insertTools; }
    TqbFindDialog* FindDialog() const { return m_findDialog; }

    // -- IqbNoteView
    void ShowViewMode(TqbViewMode mode) override;
    void LoadPage(const QString& path, bool asCp949) override;
    void SavePage(const QString& path) override;
    QByteArray PageBytes() override;
    void ReadPageBytes(std::function<void(const QByteArray&)> done) override;
    void KeepPlaceForNextLoad() override;
    bool PageChanged() override;
    bool PageReady() const override;
    bool WaitForPage(int milliseconds) override;
    bool PageHadDecodingErrors() const override;
    void ShowNoDocument() override;
    void SetSourceText(const QString& text) override;
    QString SourceText() const override;
    bool SourceModified() const override;
    void SetSourceModified(bool modified) override;
    void FocusEditor(TqbViewMode mode) override;

    // A bar of the note's own between the editing toolbar and the editor.
    void AddNoteBar(QWidget* bar);

    // Hides the editor before the window closes; the page can still be saved.
    void HideForClose();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* CreateEditToolbar(const TqbActions& actions);
    QWidget* CreateFontPanel(QWidget* parent);
    TColorPickerButton* CreateColorPicker(QWidget* parent, const char* name,
                                          const QString& defaultText, const QString& hint,
                                          int glyph);
    void AddInsertButtons(QToolBar* bar);

    const TqbActions& m_actions;
    QWidget* m_tbEdit = nullptr;
    QComboBox* m_cmbFontName = nullptr;
    bool m_fontFacesShown = false;
    QComboBox* m_cmbFontSize = nullptr;
    TColorPickerButton* m_clrFont = nullptr;
    TColorPickerButton* m_clrBack = nullptr;
    QStackedWidget* m_views = nullptr;
    TqbDhtmlEdit* m_dhtml = nullptr;
    TqbSourceView* m_source = nullptr;
    QWidget* m_pnlSpecialChars = nullptr;
    TqbInsertTools* m_insertTools = nullptr;
    TqbFindDialog* m_findDialog = nullptr;
    TqbEditCommands* m_commands = nullptr;
    TqbTableCommands* m_tableCommands = nullptr;
    QAction* m_btnImage = nullptr;
    QAction* m_btnBR = nullptr;
    TqbViewMode m_viewMode = TqbViewMode::None;
};
