#include "frames/qbFormThreeBtns.h"

#include "controls/qbBlankPnl.h"
#include "controls/qbFonts.h"
#include "controls/qbImageList.h"
#include "controls/qbImglstBtn.h"
#include "controls/qbOffscreen.h"
#include "frames/qbCaptionDrag.h"
#include "frames/qbFrameResize.h"
#include "frames/qbPlacement.h"
#include "frames/qbSkinFolder.h"
#include "frames/qbSkinMenu.h"
#include "frames/qbSkinPaint.h"
#include "frames/qbSnap.h"
#include "platform/qbError.h"
#include "prjinfo/qbProjectInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

namespace {

constexpr int IconCell = 18;
// Left edges of the caption buttons, counted from the caption's right edge.
constexpr int MinimizeFromRight = 54;
constexpr int MaximizeFromRight = 36;
constexpr int CloseFromRight = 18;
constexpr QSize DesignSize(443, 385);

// The caption icon's cell, where a press opens the system menu instead of moving the window.
bool OnIcon(QPoint at) {
    return at.x() > 0 && at.x() < IconCell && at.y() > 0 && at.y() < IconCell;
}

enum TSysCommand { scRestore, scMove, scSize, scMinimize, scMaximize, scClose };

QList<qbPlacement::TScreen> Screens() {
    QList<qbPlacement::TScreen> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->availableGeometry(), screen == primary});
    return screens;
}

// The stored normal rectangle, each missing key its default.
QRect StoredPlace(const TqbIniFile& ini, const QList<qbPlacement::TScreen>& screens) {
    const QRect def = qbPlacement::DefaultPlace(screens);
    return QRect(ini.ReadInteger("PROGRAM", "Left", def.left()),
                 ini.ReadInteger("PROGRAM", "Top", def.top()),
                 ini.ReadInteger("PROGRAM", "Width", def.width()),
                 ini.ReadInteger("PROGRAM", "Height", def.height()));
}

} // namespace

const QColor TfrmQbThreeButtons::FormColor(239, 239, 231);

TfrmQbThreeButtons::TfrmQbThreeButtons(TqbPrjInfo& prjInfo, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prjInfo(prjInfo) {
    m_captionFont = qbGulimChe(12);
    resize(DesignSize);
    setMinimumSize(qbPlacement::MinWidth, qbPlacement::MinHeight);
    CreateComponents();
    CreateSystemMenu();
    // The skins that come with the program appear beside it the first time it starts there.
    qbSkinFolder::InstallMissing(
        SkinsDir(), m_prjInfo.DefaultsDir(qbSkin::FolderName, qbSkinFolder::BuiltInDir()));
    const TqbIniFile ini = m_prjInfo.Ini();
    SetSkinMode(ini.ReadBool("Skin", "Mode", true));
    LoadSkin(ini.ReadString("Skin", "Name", QString()));
    m_constructing = false;
}

TfrmQbThreeButtons::~TfrmQbThreeButtons() = default;

void TfrmQbThreeButtons::CreateComponents() {
    FButtonImages = new TqbImageList(qbSkin::ButtonCell, this);

    pnlCaption = new TqbBlankPanel(this);
    pnlCaption->setObjectName(QStringLiteral("pnlCaption"));
    pnlCaption->setFixedHeight(CaptionHeight);
    pnlCaption->installEventFilter(this);
    connect(pnlCaption, &TqbBlankPanel::Paint, this, [this](QPainter& p) {
        p.drawImage(QPoint(0, 0),
                    qbOffscreen::Render(pnlCaption->size(), pnlCaption->devicePixelRatioF(),
                                        [this](QPainter& q) { PaintCaption(q); }));
    });
    connect(pnlCaption, &TqbBlankPanel::MouseDown, this, &TfrmQbThreeButtons::pnlCaptionMouseDown);
    connect(pnlCaption, &TqbBlankPanel::Click, this, [this] {
        if (m_pressOnIcon)
            ShowSystemMenu();
    });
    connect(pnlCaption, &TqbBlankPanel::DblClick, this, [this] {
        if (m_pressOnIcon) {
            FSystemMenu->hide();
            close();
        } else {
            ToggleMaximized();
        }
    });
    m_drag = new TqbCaptionDrag(pnlCaption);
    m_drag->Correct = [this](QPoint to) { return DragStep(to); };
    m_drag->Takes = [](QPoint at) { return !OnIcon(at); };

    const auto button = [this](const char* name, int firstCell,
                               void (TfrmQbThreeButtons::*click)()) {
        auto* b = new TqbImageListButton(pnlCaption);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->resize(qbSkin::ButtonCell);
        b->SetImageList(FButtonImages);
        b->SetIndexButton(firstCell);
        b->SetIndexEnter(firstCell + 1);
        b->SetIndexClick(firstCell + 2);
        connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    btnMinimized =
        button("btnMinimized", qbSkin::MinimizeCells, &TfrmQbThreeButtons::btnMinimizedClick);
    btnMaximized =
        button("btnMaximized", qbSkin::MaximizeCells, &TfrmQbThreeButtons::btnMaximizedClick);
    btnClose = button("btnClose", qbSkin::CloseCells, &TfrmQbThreeButtons::btnCloseClick);

    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Content"));
    m_contentLayout = new QVBoxLayout(m_content);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    m_contentLayout->setSpacing(0);

    pnlStatusBar = new QWidget(this);
    pnlStatusBar->setObjectName(QStringLiteral("pnlStatusBar"));
    pnlStatusBar->setFixedHeight(StatusBarHeight);
    pnlStatusBar->setAutoFillBackground(true);
    QPalette face = pnlStatusBar->palette();
    face.setColor(QPalette::Window, FormColor);
    pnlStatusBar->setPalette(face);
    m_statusLayout = new QHBoxLayout(pnlStatusBar);
    m_statusLayout->setContentsMargins(0, 0, 0, 0);
    m_statusLayout->setSpacing(0);
    imgResize = new QLabel(pnlStatusBar);
    imgResize->setObjectName(QStringLiteral("imgResize"));
    imgResize->setFixedSize(16, 16);
    m_statusLayout->addWidget(imgResize, 1, Qt::AlignRight | Qt::AlignBottom);

    m_column = new QVBoxLayout(this);
    m_column->setSpacing(0);
    m_column->addWidget(pnlCaption);
    m_column->addWidget(m_content, 1);
    m_column->addWidget(pnlStatusBar);

    m_resize = new TqbFrameResize(this);
    m_resize->AddGrip(imgResize);
}

void TfrmQbThreeButtons::CreateSystemMenu() {
    FSystemMenu = new QMenu(this);
    FSystemMenu->setObjectName(QStringLiteral("SystemMenu"));
    FSkinMenu = new TqbSkinMenu(this);
    connect(FSkinMenu, &TqbSkinMenu::Rebuild, this, &TfrmQbThreeButtons::BuildSkinMenu);
    connect(FSkinMenu, &TqbSkinMenu::Command, this, &TfrmQbThreeButtons::SkinCommand);
    FSystemMenu->addMenu(FSkinMenu);
    FSystemMenu->addSeparator();

    const auto item = [this](const QString& text, TSysCommand command, auto run) {
        QAction* action = FSystemMenu->addAction(text);
        action->setData(int(command));
        connect(action, &QAction::triggered, this, run);
    };
    item(QStringLiteral("이전 크기로(&R)"), scRestore, [this] { showNormal(); });
    item(QStringLiteral("이동(&M)"), scMove, [this] {
        if (windowHandle())
            windowHandle()->startSystemMove();
    });
    item(QStringLiteral("크기 조정(&S)"), scSize, [this] {
        if (windowHandle())
            windowHandle()->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
    });
    item(QStringLiteral("최소화(&N)"), scMinimize, [this] { btnMinimizedClick(); });
    item(QStringLiteral("최대화(&X)"), scMaximize, [this] { showMaximized(); });
    FSystemMenu->addSeparator();
    item(QStringLiteral("닫기(&C)\tAlt+F4"), scClose, [this] { close(); });
    connect(FSystemMenu, &QMenu::aboutToShow, this, &TfrmQbThreeButtons::UpdateSystemMenu);
    FSystemMenu->installEventFilter(this);
}

void TfrmQbThreeButtons::UpdateSystemMenu() {
    const bool maximized = isMaximized();
    for (QAction* action : FSystemMenu->actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        switch (action->data().toInt()) {
        case scRestore:
            action->setEnabled(maximized);
            break;
        case scMove:
        case scSize:
        case scMaximize:
            action->setEnabled(!maximized);
            break;
        default:
            break;
        }
    }
}

void TfrmQbThreeButtons::SetContent(QWidget* content) {
    content->setParent(m_content);
    m_contentLayout->addWidget(content);
}

void TfrmQbThreeButtons::SetStatusContent(QWidget* content) {
    content->setParent(pnlStatusBar);
    m_statusLayout->setStretch(m_statusLayout->indexOf(imgResize), 0);
    m_statusLayout->insertWidget(0, content, 1);
}

QString TfrmQbThreeButtons::SkinsDir() const {
    return qbSkinFolder::Dir(m_prjInfo.ProgramDir());
}

template <class Write> void TfrmQbThreeButtons::WriteSetting(Write write) {
    try {
        TqbIniFile ini = m_prjInfo.Ini();
        write(ini);
    } catch (const EqbError&) {
        if (!m_constructing)
            throw;
    }
}

// ---- skins

void TfrmQbThreeButtons::SetSkinMode(bool on) {
    FSkinMode = on;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, on);
    ApplyWindowFlags(flags);
    // The height grows by a pixel, so that the layout is redone under the new frame.
    if (!isMaximized())
        resize(width(), height() + 1);
    pnlCaption->setVisible(on);
    UpdateFrame();
    WriteSetting([on](TqbIniFile& ini) { ini.WriteBool("Skin", "Mode", on); });
}

void TfrmQbThreeButtons::ApplyWindowFlags(Qt::WindowFlags flags) {
    if (flags == windowFlags())
        return;
    if (windowHandle() && isVisible()) {
        // Told to the window as it is, rather than hidden and shown again: the title bar comes
        // and goes without the window leaving the screen.
        overrideWindowFlags(flags);
        windowHandle()->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void TfrmQbThreeButtons::SetActive(bool active) {
    m_activeLook = active;
    if (isMinimized() || !FSkinMode)
        return;
    update();
    pnlCaption->update();
}

void TfrmQbThreeButtons::LoadSkin(const QString& name) {
    FSkinName = name;
    m_skin = qbSkin::Load(SkinsDir(), name);
    FButtonImages->Clear();
    FButtonImages->AddStrip(m_skin.Buttons, qbSkin::StripCells);
    WriteSetting([name](TqbIniFile& ini) { ini.WriteString("Skin", "Name", name); });
    update();
    pnlCaption->update();
}

void TfrmQbThreeButtons::BuildSkinMenu() {
    FSkinNames = qbSkinFolder::List(SkinsDir());
    FSkinMenu->SetSkinNames(FSkinNames);
}

void TfrmQbThreeButtons::SkinCommand(int command) {
    if (command == TqbSkinMenu::CmdWindowsLook) {
        SetSkinMode(false);
    } else if (command == TqbSkinMenu::CmdBasicSkin) {
        LoadSkin(QString());
        if (!FSkinMode)
            SetSkinMode(true);
    } else {
        const int index = TqbSkinMenu::SkinIndex(command, int(FSkinNames.size()));
        if (index < 0)
            return;
        SetSkinMode(true);
        LoadSkin(FSkinNames[index]);
    }
}

// ---- painting

QMargins TfrmQbThreeButtons::FrameMargins() const {
    if (!FSkinMode)
        return {};
    // The border inside the rings' rectangle, as far as it lies inside the window.
    const QRect inner = m_frameRect.adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    return QMargins(qMax(0, inner.left()), qMax(0, inner.top()),
                    qMax(0, width() - (inner.left() + inner.width())),
                    qMax(0, height() - (inner.top() + inner.height())));
}

void TfrmQbThreeButtons::FitToWorkArea() {
    const auto screens = Screens();
    const int nearest = qbPlacement::NearestScreen(geometry(), screens);
    if (nearest < 0)
        return;
    // The window manager puts a maximized window over the work area of its monitor; the frame
    // lies over the bounds the window takes there, so a border past the work area is not shown.
    // It is placed from the work area, not from the window's place as last reported: the report
    // of the window manager's move can come late, or not at all.
    const QRect bounds = qbPlacement::FitToWorkArea(screens[nearest]);
    m_frameRect = QRect(QPoint(-qbPlacement::FitBorder, -qbPlacement::FitBorder), bounds.size());
}

void TfrmQbThreeButtons::UpdateFrame() {
    if (isMaximized())
        FitToWorkArea();
    else
        m_frameRect = rect();
    m_column->setContentsMargins(FrameMargins());
    m_resize->SetBorder(BorderWidth, FSkinMode && !isMaximized());
    update();
}

void TfrmQbThreeButtons::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), FormColor);
    if (!FSkinMode || isMinimized())
        return;
    qbSkinPaint::DrawFrame(painter, m_frameRect,
                           m_activeLook ? m_skin.ActColors : m_skin.InActColors);
}

void TfrmQbThreeButtons::PaintCaption(QPainter& painter) const {
    qbSkinPaint::TCaption caption;
    caption.Size = pnlCaption->size();
    caption.Active = m_activeLook;
    caption.Text = windowTitle();
    caption.Font = m_captionFont;
    caption.Icon = windowIcon();
    qbSkinPaint::PaintCaption(painter, m_skin, caption);
}

QImage TfrmQbThreeButtons::CaptionImage() const {
    return qbOffscreen::Render(pnlCaption->size(), 1.0, [this](QPainter& p) { PaintCaption(p); });
}

// ---- the caption

void TfrmQbThreeButtons::pnlCaptionMouseDown(Qt::MouseButton, QPoint at) {
    m_pressOnIcon = OnIcon(at);
    if (m_pressOnIcon)
        return;
    // Snapping starts from where the caption was taken.
    const QPoint cursor = pnlCaption->mapToGlobal(at);
    FGrabOffset = cursor - pos();
    m_lastCursor = cursor;
    if (isMaximized())
        return;
    const auto screens = Screens();
    const int nearest = qbPlacement::NearestScreen(frameGeometry(), screens);
    if (nearest >= 0)
        FSnapRect = qbSnap::SnapRect(screens[nearest].Geometry, screens[nearest].WorkArea,
                                     screens[nearest].Primary);
}

QPoint TfrmQbThreeButtons::DragStep(QPoint to) {
    if (m_pressOnIcon || isMaximized())
        return pos();
    // The move loop puts the window where the pointer went; the pointer is that place plus
    // the grab offset. The window goes on from where the last step left it, so that a snapped
    // window stays until the pointer has gone far enough.
    const QPoint cursor = to + FGrabOffset;
    const QRect proposed = frameGeometry().translated(cursor - m_lastCursor);
    m_lastCursor = cursor;
    return qbSnap::Moving(proposed, cursor, FGrabOffset, FSnapRect, false).topLeft();
}

void TfrmQbThreeButtons::ShowSystemMenu() {
    const int x = isMaximized() ? 1 : 0;
    m_menuFromIcon.start();
    FSystemMenu->popup(pnlCaption->mapToGlobal(QPoint(x, pnlCaption->height())));
}

void TfrmQbThreeButtons::ToggleMaximized() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TfrmQbThreeButtons::btnMinimizedClick() {
    showMinimized();
}

void TfrmQbThreeButtons::btnMaximizedClick() {
    ToggleMaximized();
}

void TfrmQbThreeButtons::btnCloseClick() {
    close();
}

void TfrmQbThreeButtons::ShowMaximizeCells() {
    const int first = isMaximized() ? qbSkin::RestoreCells : qbSkin::MaximizeCells;
    btnMaximized->SetIndexButton(first);
    btnMaximized->SetIndexEnter(first + 1);
    btnMaximized->SetIndexClick(first + 2);
}

bool TfrmQbThreeButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlCaption && event->type() == QEvent::Resize) {
        const int w = pnlCaption->width();
        btnMinimized->move(w - MinimizeFromRight, 0);
        btnMaximized->move(w - MaximizeFromRight, 0);
        btnClose->move(w - CloseFromRight, 0);
    } else if (watched == FSystemMenu && (event->type() == QEvent::MouseButtonPress ||
                                          event->type() == QEvent::MouseButtonDblClick)) {
        // The second click of a double click on the icon lands outside the menu the first one
        // opened (as a double click, where the window system reports it so): it closes the
        // window.
        const QPoint at =
            pnlCaption->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        if (OnIcon(at) && m_menuFromIcon.isValid() &&
            m_menuFromIcon.elapsed() < QApplication::doubleClickInterval()) {
            FSystemMenu->hide();
            QTimer::singleShot(0, this, &QWidget::close);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the window's place

void TfrmQbThreeButtons::FormShow() {
    const auto screens = Screens();
    const TqbIniFile ini = m_prjInfo.Ini();
    // The stored place is the normal one; maximizing is the settings' decision, made below.
    if (isMaximized())
        setWindowState(windowState() & ~Qt::WindowMaximized);
    m_shownPlace =
        qbPlacement::RestoredPlace(StoredPlace(ini, screens), screens, BorderWidth + CaptionHeight);
    setGeometry(m_shownPlace);
    if (m_prjInfo.StartMaximized() || ini.ReadBool("PROGRAM", "Maximized", false)) {
        // A window holding a web view loses a maximized state given before it is first
        // shown: it is maximized once it is up.
        QTimer::singleShot(0, this,
                           [this] { setWindowState(windowState() | Qt::WindowMaximized); });
    }
}

void TfrmQbThreeButtons::FormCloseQuery() {
    const auto screens = Screens();
    TqbIniFile ini = m_prjInfo.Ini();
    const bool maximized = isMaximized();
    const auto place =
        qbPlacement::PlaceToStore(maximized, geometry(), StoredPlace(ini, screens), screens);
    ini.WriteBool("PROGRAM", "Maximized", place.Maximized);
    if (place.LeftTop) {
        ini.WriteInteger("PROGRAM", "Left", place.LeftTop->x());
        ini.WriteInteger("PROGRAM", "Top", place.LeftTop->y());
    }
    if (place.Size) {
        ini.WriteInteger("PROGRAM", "Width", place.Size->width());
        ini.WriteInteger("PROGRAM", "Height", place.Size->height());
    }
}

// The place is given before the window system's window is made: one moved after that, and
// before it is mapped, may never have its new place reported back, and the toolkit would then
// put menus and the input method's candidates where the window is not.
void TfrmQbThreeButtons::setVisible(bool visible) {
    if (visible && !m_shown) {
        m_shown = true;
        FormShow();
    }
    QWidget::setVisible(visible);
}

void TfrmQbThreeButtons::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

void TfrmQbThreeButtons::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::ActivationChange:
        SetActive(isActiveWindow());
        break;
    case QEvent::WindowStateChange: {
        const bool wasMaximized =
            static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMaximized;
        // The first restore after the window was made anew goes back to the place it had.
        if (wasMaximized && !isMaximized() && !m_remaximize && !m_remaking &&
            m_placeBeforeRemake.isValid())
            setGeometry(std::exchange(m_placeBeforeRemake, QRect()));
        ShowMaximizeCells();
        UpdateFrame();
        break;
    }
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
        pnlCaption->update();
        break;
    default:
        break;
    }
}

void TfrmQbThreeButtons::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateFrame();
}

bool TfrmQbThreeButtons::event(QEvent* event) {
    // The window system's window is made anew when a child comes to need another kind of
    // surface, as the web view does with its first page; the new one would open unmaximized.
    if (event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
        m_remaximize = isMaximized();
        // On the way the new window is reported at the maximized size but unmaximized, and that
        // would become its normal place.
        if (m_remaximize)
            m_placeBeforeRemake = NormalPlace();
    } else if (event->type() == QEvent::WinIdChange && m_remaximize && internalWinId()) {
        m_remaximize = false;
        m_remaking = true;
        QTimer::singleShot(0, this, [this] {
            // Given as a change, whether or not the new window was reported unmaximized yet.
            setWindowState(windowState() & ~Qt::WindowMaximized);
            setWindowState(windowState() | Qt::WindowMaximized);
            m_remaking = false;
        });
    }
    return QWidget::event(event);
}

QRect TfrmQbThreeButtons::NormalPlace() const {
    // A window manager can report the window unmaximized for a moment while maximizing it, and
    // the toolkit then takes the maximized bounds for its normal place.
    const QRect normal = normalGeometry();
    return normal.size() == size() && m_shownPlace.isValid() ? m_shownPlace : normal;
}

void TfrmQbThreeButtons::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A maximized window that went to another monitor takes that monitor's bounds.
    if (isMaximized())
        UpdateFrame();
}
