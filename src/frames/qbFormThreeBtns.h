#pragma once

#include "frames/qbSkin.h"

#include <QElapsedTimer>
#include <QFont>
#include <QMargins>
#include <QStringList>
#include <QWidget>

class QLabel;
class QMenu;
class QVBoxLayout;
class QHBoxLayout;
class TqbBlankPanel;
class TqbCaptionDrag;
class TqbFrameResize;
class TqbImageList;
class TqbImageListButton;
class TqbPrjInfo;
class TqbSkinMenu;

// The main window's frame: a caption strip of its own (icon, title and three buttons) and three
// painted frame rings, both from a skin the user picks from the system menu, or the window
// manager's own title bar (the Windows look). It keeps the window's place between runs, snaps
// to the work area's edges while its caption is dragged and resizes from its edges and grip.
// The descendant puts its content between the caption and the status bar (SetContent) and its
// status controls left of the grip (SetStatusContent).
class TfrmQbThreeButtons : public QWidget {
    Q_OBJECT
public:
    static constexpr int CaptionHeight = 19;
    static constexpr int StatusBarHeight = 24;
    // The sizing border: the three rings and one row of the form's colour inside them.
    static constexpr int BorderWidth = 4;
    static const QColor FormColor;

    explicit TfrmQbThreeButtons(TqbPrjInfo& prjInfo, QWidget* parent = nullptr);
    ~TfrmQbThreeButtons() override;

    TqbBlankPanel* pnlCaption = nullptr;
    TqbImageListButton* btnMinimized = nullptr;
    TqbImageListButton* btnMaximized = nullptr;
    TqbImageListButton* btnClose = nullptr;
    QWidget* pnlStatusBar = nullptr;
    QLabel* imgResize = nullptr; // the descendant gives it its picture

    void SetContent(QWidget* content);
    void SetStatusContent(QWidget* content);

    bool SkinMode() const { return FSkinMode; }
    bool ActiveLook() const { return m_activeLook; }
    const QString& SkinName() const { return FSkinName; }
    const TqbSkin& Skin() const { return m_skin; }
    // The entries of the skin folder as listed at the last opening of the skin menu.
    const QStringList& SkinNames() const { return FSkinNames; }
    QString SkinsDir() const;
    TqbImageList* ButtonImages() const { return FButtonImages; }
    QMenu* SystemMenu() const { return FSystemMenu; }
    // Also for the program's own menu bar, where the window manager's title bar has no room
    // for it.
    TqbSkinMenu* SkinMenu() const { return FSkinMenu; }

    // On: the caption strip and painted frame; off: the window manager's title bar and frame.
    // Each call makes a window that is not maximized one pixel taller.
    virtual void SetSkinMode(bool on);
    virtual void SetActive(bool active);
    // An empty name is the built-in skin.
    void LoadSkin(const QString& name);
    void BuildSkinMenu();
    // What the skin menu's commands do: 2000 the Windows look, 2001 the basic skin, 2003 + i
    // skin i of SkinNames().
    void SkinCommand(int command);
    void ShowSystemMenu();
    void ToggleMaximized();
    void setVisible(bool visible) override;
    // Lays a maximized window's frame out over the monitor it is maximized on.
    void FitToWorkArea();

    // The rings' outer rectangle in window coordinates: the window, or for a maximized window
    // the bounds it takes on its monitor, which may reach past the window's edges.
    QRect FrameRect() const { return m_frameRect; }
    QMargins FrameMargins() const;
    // The caption strip as painted at one device pixel per pixel.
    QImage CaptionImage() const;

protected:
    // Restores the window's place; runs at the first show only.
    void FormShow();
    // Saves the window's place. A descendant that handles closing itself calls it first.
    void FormCloseQuery();

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void CreateSystemMenu();
    void UpdateSystemMenu();
    void PaintCaption(QPainter& painter) const;
    void pnlCaptionMouseDown(Qt::MouseButton button, QPoint at);
    void btnMinimizedClick();
    void btnMaximizedClick();
    void btnCloseClick();
    void ShowMaximizeCells();
    void ApplyWindowFlags(Qt::WindowFlags flags);
    void UpdateFrame();
    QPoint DragStep(QPoint to);
    QRect NormalPlace() const;
    // A settings write; while the window is being built a failure must not keep it from
    // opening.
    template <class Write>
    void WriteSetting(Write write);

    TqbPrjInfo& m_prjInfo;
    bool FSkinMode = true;
    bool m_activeLook = false;
    QString FSkinName;
    TqbSkin m_skin;
    TqbImageList* FButtonImages = nullptr;
    QStringList FSkinNames;
    QMenu* FSystemMenu = nullptr;
    TqbSkinMenu* FSkinMenu = nullptr;
    QFont m_captionFont;

    QVBoxLayout* m_column = nullptr;
    QVBoxLayout* m_contentLayout = nullptr;
    QHBoxLayout* m_statusLayout = nullptr;
    QWidget* m_content = nullptr;
    TqbCaptionDrag* m_drag = nullptr;
    TqbFrameResize* m_resize = nullptr;
    QRect m_frameRect;

    bool m_constructing = true;
    bool m_shown = false;
    bool m_pressOnIcon = false;
    bool m_remaximize = false; // the window system's window is made anew while maximized
    bool m_remaking = false;   // and is being maximized again
    QRect m_placeBeforeRemake; // its normal place before that
    QRect m_shownPlace;        // the place given when first shown
    QPoint FGrabOffset; // pointer less the window's origin when the caption was pressed
    QRect FSnapRect;    // the edges that attract the window during that drag
    QPoint m_lastCursor;
    QElapsedTimer m_menuFromIcon; // since the system menu opened from a click on the icon
};
