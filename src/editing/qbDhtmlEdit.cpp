#include "editing/qbDhtmlEdit.h"

#include "editing/qbDhtmlBridge.h"
#include "editing/qbDhtmlColor.h"
#include "editing/qbDhtmlPage.h"
#include "editing/qbPageFonts.h"
#include "editing/qbPagePrinter.h"
#include "editing/qbPageRequestFilter.h"
#include "editing/qbPageScheme.h"
#include "editing/qbPageText.h"
#include "editing/qbSpellCheck.h"
#include "editing/qbTypingCatcher.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QQuickWidget>
#include <QStyleHints>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>
#include <utility>

using namespace qbDhtml;

namespace {

// The page's caret does not blink: the engine fixes a page's blink as its first load starts,
// and with no graphics card each blink repaints the whole view (a tenth of a core, for as long
// as the note is open). While this lives, new pages take a steady caret.
class TSteadyCaret {
public:
    explicit TSteadyCaret(bool newPage)
        : m_flashMs(newPage ? QGuiApplication::styleHints()->cursorFlashTime() : 0) {
        if (m_flashMs)
            QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
    ~TSteadyCaret() {
        if (m_flashMs)
            QGuiApplication::styleHints()->setCursorFlashTime(m_flashMs);
    }
    TSteadyCaret(const TSteadyCaret&) = delete;
    TSteadyCaret& operator=(const TSteadyCaret&) = delete;

private:
    int m_flashMs;
};

QString ReadResource(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical("editor: resource %s missing", qPrintable(name));
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool SameDocument(const QUrl& a, const QUrl& b) {
    return !a.isEmpty() && a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

QString CallScript(const QString& function, const QVariantList& args) {
    const QByteArray name = QJsonDocument(QJsonArray{function}).toJson(QJsonDocument::Compact);
    const QByteArray list =
        QJsonDocument(QJsonArray::fromVariantList(args)).toJson(QJsonDocument::Compact);
    return QStringLiteral("(typeof qbEdit === 'undefined')"
                          " ? {ok: false, error: 'the editor script is not running'}"
                          " : qbEdit.call(%1[0], %2)")
        .arg(QString::fromUtf8(name), QString::fromUtf8(list));
}

// Pages ask for fonts by the names of the machine they were written on; each missing one known
// to the rules gets its stand-in, for the engine's generic names and for Qt's own text.
void ApplyPageFonts(QWebEngineSettings* settings) {
    qbPageFonts::ApplyDefaults(settings);
}

// The same names for the page itself: the page script makes each an alias of its stand-in, in
// the document's font set only, so nothing of it is ever saved.
QString FontAliasScript() {
    static const QString script = [] {
        QJsonArray aliases;
        for (const auto& alias : qbPageFonts::Aliases(qbPageFonts::InstalledFamilies()))
            aliases.append(QJsonArray{alias.Name, alias.Substitute});
        return QStringLiteral("var qbFontAliases = %1;")
            .arg(QString::fromUtf8(QJsonDocument(aliases).toJson(QJsonDocument::Compact)));
    }();
    return script;
}

enum class TSelectionKind { Style, Justify, Color, Text, Size };

struct TSelectionCommand {
    const char* Name; // lower case
    const char* Command;
    TSelectionKind Kind;
};

constexpr TSelectionCommand SelectionCommands[] = {
    {"bold", "bold", TSelectionKind::Style},
    {"italic", "italic", TSelectionKind::Style},
    {"underline", "underline", TSelectionKind::Style},
    {"justifyleft", "justifyLeft", TSelectionKind::Justify},
    {"justifycenter", "justifyCenter", TSelectionKind::Justify},
    {"justifyright", "justifyRight", TSelectionKind::Justify},
    {"forecolor", "foreColor", TSelectionKind::Color},
    {"backcolor", "backColor", TSelectionKind::Color},
    {"fontname", "fontName", TSelectionKind::Text},
    {"fontsize", "fontSize", TSelectionKind::Size},
};

const char* DocumentCommand(int id) {
    switch (id) {
    case IDM_UNDO:
        return "undo";
    case IDM_REDO:
        return "redo";
    case IDM_HYPERLINK:
        return "createLink";
    case IDM_HORIZONTALLINE:
        return "insertHorizontalRule";
    case IDM_IMAGE:
        return "insertImage";
    case IDM_ORDERLIST:
        return "insertOrderedList";
    case IDM_UNORDERLIST:
        return "insertUnorderedList";
    case IDM_INDENT:
        return "indent";
    case IDM_OUTDENT:
        return "outdent";
    default:
        return nullptr;
    }
}

} // namespace

QWebEngineProfile* TqbDhtmlEdit::EngineProfile() {
    TqbPageScheme::Register();
    return QWebEngineProfile::defaultProfile();
}

TqbDhtmlEdit::TqbDhtmlEdit(QWidget* parent) : QWidget(parent) {
    TqbPageScheme::Register();
    static int editors = 0;
    m_schemeKey = QStringLiteral("e%1").arg(++editors);
    m_catcher = new TqbTypingCatcher(this);
    // The view draws into a texture. A window that learns so only when the first page comes is
    // made anew by the toolkit, and loses its maximized state and the input method's focus on
    // the way; a hidden widget of that kind tells it from the start.
    (new QQuickWidget(this))->hide();
    m_handOverTimer = new QTimer(this);
    m_handOverTimer->setSingleShot(true);
    m_handOverTimer->setInterval(HandOverPauseMs);
    connect(m_handOverTimer, &QTimer::timeout, this, &TqbDhtmlEdit::HandOver);
    m_filter = new TqbPageRequestFilter(this);
    m_bridge = new TqbDhtmlBridge(this);
    m_channel = new QWebChannel(this);
    m_channel->registerObject(QStringLiteral("qbBridge"), m_bridge);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Until the view comes the pane is the page's blank white.
    setAutoFillBackground(true);
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);

    connect(m_bridge, &TqbDhtmlBridge::Reported, this, &TqbDhtmlEdit::OnReported);
    connect(m_bridge, &TqbDhtmlBridge::PictureGiven, this, &TqbDhtmlEdit::OnPictureGiven);
    connect(m_bridge, &TqbDhtmlBridge::OfficeHtmlGiven, this, &TqbDhtmlEdit::OnOfficeHtmlGiven);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (IsInsideView(old) && !TakesTyping(now))
            emit FocusLost();
    });
    // Typing while no document is ready would go into a page that is never saved.
    qApp->installEventFilter(this);
}

// The web engine starts with the first page: a window shows before it, and one that never
// shows a note never starts it.
void TqbDhtmlEdit::CreateView() {
    if (m_view)
        return;
    m_view = new QWebEngineView(this);
    m_page = new TqbDhtmlPage(
        EngineProfile(), m_view,
        [this](const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame) {
            return AcceptNavigation(url, type, isMainFrame);
        });
    m_view->setPage(m_page);
    m_page->setUrlRequestInterceptor(m_filter);
    m_scheme = TqbPageScheme::For(m_page->profile());
    layout()->addWidget(m_view);
    const bool focused = hasFocus();
    setFocusProxy(m_view);
    if (focused)
        m_view->setFocus(Qt::OtherFocusReason);

    QWebEngineSettings* settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setDefaultTextEncoding(QStringLiteral("EUC-KR"));
    ApplyPageFonts(settings);

    m_page->setWebChannel(m_channel, QWebEngineScript::ApplicationWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("qbDhtmlEdit"));
    script.setSourceCode(ReadResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + u'\n' +
                         FontAliasScript() + u'\n' +
                         ReadResource(QStringLiteral(":/qbEditing/qbTableEdit.js")) + u'\n' +
                         ReadResource(QStringLiteral(":/qbEditing/qbDhtmlEdit.js")));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    m_page->scripts().insert(script);

    const struct {
        QWebEnginePage::WebAction Action;
        const char* Text;
    } menu[] = {{QWebEnginePage::Undo, "실행 취소"},    {QWebEnginePage::Redo, "다시 실행"},
                {QWebEnginePage::NoWebAction, nullptr}, {QWebEnginePage::Cut, "잘라내기"},
                {QWebEnginePage::Copy, "복사"},         {QWebEnginePage::Paste, "붙여넣기"},
                {QWebEnginePage::NoWebAction, nullptr}, {QWebEnginePage::SelectAll, "모두 선택"}};
    for (const auto& item : menu) {
        if (item.Action == QWebEnginePage::NoWebAction) {
            auto* separator = new QAction(m_view);
            separator->setSeparator(true);
            m_view->addAction(separator);
            continue;
        }
        QAction* action = m_page->action(item.Action);
        action->setText(QString::fromUtf8(item.Text));
        m_view->addAction(action);
    }
    // The menu is made for each click: a misspelt word brings its suggestions first.
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &TqbDhtmlEdit::ShowContextMenu);
    m_spell = TqbSpellCheck::For(m_page->profile());
    m_spell->SetEditing(this, !m_browse);

    connect(m_page, &QWebEnginePage::loadingChanged, this, &TqbDhtmlEdit::OnLoadingChanged);
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        // Some other document took the page's place: it must never be saved as the note.
        if (!m_closing && m_ready && !SameDocument(url, m_docUrl))
            FailLoad(tr("편집기에 다른 문서가 열렸습니다: %1").arg(url.toDisplayString()));
    });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (m_closing || StartNext())
            return;
        FailLoad(tr("문서를 보여 주던 프로세스가 끝났습니다."));
    });
    m_printer = new TqbPagePrinter(*m_view);
    connect(m_printer, &TqbPagePrinter::Finished, this, &TqbDhtmlEdit::PrintFinished);
    connect(m_printer, &TqbPagePrinter::Failed, this, &TqbDhtmlEdit::PrintFailed);
}

TqbDhtmlEdit::~TqbDhtmlEdit() {
    // The page answers pending calls while it goes away; they must find nothing to change.
    m_closing = true;
    qApp->removeEventFilter(this);
    delete m_view;
}

bool TqbDhtmlEdit::IsLoading() const {
    return m_phase == TPhase::Loading;
}

bool TqbDhtmlEdit::IsInsideView(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && m_view && (widget == m_view || m_view->isAncestorOf(widget));
}

bool TqbDhtmlEdit::TakesTyping(QObject* object) const {
    return object == m_catcher || IsInsideView(object);
}

// While the document loads, and until what was typed meanwhile is handed over.
bool TqbDhtmlEdit::HoldsInput() const {
    return m_phase == TPhase::Loading || (m_ready && m_replayPending);
}

bool TqbDhtmlEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethodQuery && !m_closing && KeepsInputMethod(watched)) {
        AnswerInputMethod(static_cast<QWidget*>(watched),
                          static_cast<QInputMethodQueryEvent*>(event));
        return true;
    }
    if (m_closing || (m_ready && !m_replayPending)) {
        if (TypedAsText(watched, event))
            return true;
        return QWidget::eventFilter(watched, event);
    }
    bool edits = false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
        // Typing that starts while the document loads is meant for it: kept until it is ready.
        if (HoldsInput() && TakesTyping(watched) && m_heldInput.size() < MaxHeldInput) {
            Hold(watched, event);
            return true;
        }
        edits = event->type() != QEvent::KeyRelease;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        edits = true;
        break;
    case QEvent::MouseButtonPress:
        // The middle button pastes the X11 selection.
        edits = static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        break;
    default:
        break;
    }
    if (edits && !m_ready && TakesTyping(watched))
        return true;
    return QWidget::eventFilter(watched, event);
}

// A page between documents, and a new one until its body has the caret, tells the input method
// it takes no text; the input method then ends the syllable being composed and lets the next
// keys through uncomposed. A page being edited always takes text: it says so meanwhile, and
// answers as the catcher would while what is typed is held.
bool TqbDhtmlEdit::KeepsInputMethod(QObject* watched) const {
    return !m_browse && (HoldsInput() || m_ready) && IsInsideView(watched);
}

void TqbDhtmlEdit::AnswerInputMethod(QWidget* watched, QInputMethodQueryEvent* query) const {
    const QWidget* answering = HoldsInput() ? m_catcher : watched;
    for (int bit = 0; bit < 32; ++bit) {
        const auto asked = Qt::InputMethodQuery(1u << bit);
        if (query->queries() & asked)
            query->setValue(asked, asked == Qt::ImEnabled ? QVariant(true)
                                                          : answering->inputMethodQuery(asked));
    }
    query->accept();
}

// The engine takes one UTF-16 unit of a key's text: a character beyond the basic plane (an emoji
// from a key event, not through an input method) would lose its high bits. Such text goes in as
// an input method's commit, which the engine takes whole.
bool TqbDhtmlEdit::TypedAsText(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !IsInsideView(watched))
        return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
        return false;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(watched, &commit);
    return true;
}

void TqbDhtmlEdit::Hold(QObject* watched, QEvent* event) {
    if (watched != m_catcher) {
        m_heldInput.push_back(std::unique_ptr<QEvent>(event->clone()));
        return;
    }
    m_sinceCaught.start();
    // The composition ends in the catcher: the page needs only the text it came to.
    if (event->type() == QEvent::InputMethod) {
        const QString text = static_cast<QInputMethodEvent*>(event)->commitString();
        if (!text.isEmpty()) {
            auto commit = std::make_unique<QInputMethodEvent>();
            commit->setCommitString(text);
            m_heldInput.push_back(std::move(commit));
        }
    } else {
        m_heldInput.push_back(std::unique_ptr<QEvent>(event->clone()));
    }
    if (m_handOverTimer->isActive())
        m_handOverTimer->start();
}

// After the page's pending calls (the caret placed at the start among them), so the keys land
// where a user who waited would have typed them. All at once, in the order typed: keys that come
// meanwhile queue behind them.
void TqbDhtmlEdit::ReplayHeldInput() {
    if (m_heldInput.empty()) {
        m_replayPending = false;
        return;
    }
    m_replayPending = true;
    AfterPageFocus(m_generation, MaxFocusChecks);
}

// Keys reach the page's document only once its process has heard of the focus: until then they
// are held too.
void TqbDhtmlEdit::AfterPageFocus(quint64 generation, int checksLeft) {
    m_page->runJavaScript(QStringLiteral("document.hasFocus()"), QWebEngineScript::ApplicationWorld,
                          [this, generation, checksLeft](const QVariant& focused) {
                              if (m_closing || generation != m_generation || !m_ready ||
                                  !m_replayPending)
                                  return;
                              if (!focused.toBool() && checksLeft > 0 && m_view->hasFocus()) {
                                  AfterPageFocus(generation, checksLeft - 1);
                                  return;
                              }
                              DeliverHeldInput();
                          });
}

void TqbDhtmlEdit::DeliverHeldInput() {
    m_replayPending = false;
    QWidget* target = m_view->focusProxy() ? m_view->focusProxy() : m_view;
    const THandingOver mark;
    for (auto& event : std::exchange(m_heldInput, {}))
        QCoreApplication::sendEvent(target, event.get());
}

// The keys leave the catcher for the page. Moving them ends a composition: the input method's
// syllable lands in the catcher first and goes with the rest.
void TqbDhtmlEdit::HandOver() {
    m_handOverTimer->stop();
    if (!m_ready)
        return;
    m_replayPending = true;
    if (QApplication::focusWidget() == m_catcher)
        m_view->setFocus(Qt::OtherFocusReason);
    m_sinceCaught.invalidate();
    // A page that had no focus may not have kept its caret.
    if (std::exchange(m_caretOnHandOver, false))
        CallAsync(QStringLiteral("caretToStart"), {}, false);
    ReplayHeldInput();
}

// A call into the page comes after everything typed before it.
void TqbDhtmlEdit::FinishHandOver() {
    if (!m_ready)
        return;
    if (m_handOverTimer->isActive())
        HandOver();
    if (m_replayPending)
        DeliverHeldInput();
}

void TqbDhtmlEdit::WantFocus() {
    m_focusWanted = true;
    AimKeys();
}

// Where keys typed before the document is ready go: into the catcher when the load may take
// long or bring the page another widget; otherwise the engine focuses the page it navigates to
// while the user means to type there, and never otherwise (a click in the tree keeps the keys).
void TqbDhtmlEdit::AimKeys() {
    if (!m_focusWanted || !m_page)
        return;
    m_page->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, !m_catching);
    if (m_catching && QApplication::focusWidget() != m_catcher)
        m_catcher->setFocus(Qt::OtherFocusReason);
}

// Once the document is ready the focus goes back to the page, unless the user took it elsewhere.
void TqbDhtmlEdit::TakeFocusBack() {
    const bool wanted = std::exchange(m_focusWanted, false);
    QWidget* now = QApplication::focusWidget();
    m_page->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    if (wanted && (!now || now == window() || now == this || TakesTyping(now)))
        m_view->setFocus(Qt::OtherFocusReason);
}

void TqbDhtmlEdit::SetAllowedRoots(const QStringList& folders) {
    m_filter->SetAllowedRoots(folders);
}

// ---- loading
//
// One load is in the engine at a time. A load asked for meanwhile waits and takes the place of
// the one in flight as soon as that ends, so that the engine's news always belongs to the load
// it is about: two loads of the same address cannot be told apart by their news.

void TqbDhtmlEdit::LoadDocument(const QString& path, bool asCp949) {
    RequireIdle();
    TqbPageText page;
    try {
        if (!QFileInfo(path).isFile())
            throw EqbError(tr("문서를 열 수 없습니다: %1").arg(QDir::toNativeSeparators(path)));
        const QByteArray bytes = qbText::ReadFileBytes(path);
        const std::optional<TqbPageText> cp949 =
            asCp949 ? qbPageCodec::Cp949Reading(bytes) : std::nullopt;
        page = cp949 ? *cp949 : qbPageCodec::Decode(bytes);
    } catch (const EqbError& error) {
        FailLoad(error.Message());
        return;
    }
    m_docPath = path;
    m_fileCharset = page.Charset;
    m_hadDecodingErrors = page.HadDecodingErrors;
    m_hadMark = page.Text.startsWith(QChar(0xFEFF));
    m_lineEnd = page.LineEnd;
    Request({page.Text, path, false});
}

void TqbDhtmlEdit::SetDocumentHtml(const QString& html, const QString& basePath) {
    RequireIdle();
    const QString base = basePath.isEmpty() ? m_docPath : basePath;
    if (base.isEmpty()) {
        // Text that belongs to no file could never be saved: nothing to edit.
        ShowNoDocument();
        return;
    }
    if (base != m_docPath || m_fileCharset.isEmpty()) {
        m_fileCharset = qbText::DeclaredCharset(html.left(8192).toUtf8());
        m_hadDecodingErrors = false;
        m_hadMark = false;
        m_lineEnd = qbText::DominantLineEnd(html);
    }
    m_docPath = base;
    Request({html, base, false});
}

void TqbDhtmlEdit::ShowNoDocument() {
    m_docPath.clear();
    m_fileCharset.clear();
    m_hadDecodingErrors = false;
    m_hadMark = false;
    Request({{}, {}, true});
}

void TqbDhtmlEdit::Request(TPageRequest request) {
    m_handOverTimer->stop();
    m_ready = false;
    m_replayPending = false;
    m_phase = request.Blank ? TPhase::NoDocument : TPhase::Loading;
    if (TakesTyping(QApplication::focusWidget()))
        m_focusWanted = true;
    // Typed for a document that will not be shown after all: nowhere to go.
    if (request.Blank) {
        m_heldInput.clear();
        m_focusWanted = false;
        m_sinceCaught.invalidate();
        if (QApplication::focusWidget() == m_catcher)
            m_view->setFocus(Qt::OtherFocusReason);
    }
    ++m_generation;
    m_docId.clear();
    m_state = {};
    emit SelectionStateChanged();
    if (m_stage != TStage::Idle) {
        m_next = std::move(request);
        return;
    }
    Start(std::move(request));
}

bool TqbDhtmlEdit::StartNext() {
    m_stage = TStage::Idle;
    if (!m_next)
        return false;
    TPageRequest next = std::move(*m_next);
    m_next.reset();
    Start(std::move(next));
    return true;
}

// Chromium's Korean decoder here lacks the extended syllables ("똠" would come out as U+008C
// and "c", and be saved so), and it picks a file's type by its extension (a ".qb" folder page
// would show as plain text). So pages reach it as text we decoded, in UTF-8, based at their own
// file, and are written back in the charset they came in.
void TqbDhtmlEdit::Start(TPageRequest request) {
    const TSteadyCaret steady(!m_view);
    CreateView();
    ++m_loads;
    m_stage = TStage::Navigating;
    m_loadingBlank = request.Blank;
    const bool fromPageAddress = TqbPageScheme::IsPageAddress(m_docUrl);
    m_scheme->Drop(m_schemeKey);
    const QString mime = QStringLiteral("text/html;charset=UTF-8");
    if (request.Blank) {
        m_filter->SetDocumentFolder({});
        m_docUrl =
            QUrl::fromLocalFile(QDir::temp().filePath(QStringLiteral("qbNivora-no-document.htm")));
        m_docChars = 0;
        m_catching = false;
        m_page->setContent("<html><body></body></html>", mime, m_docUrl);
        return;
    }
    const QString& text = request.Text;
    const QByteArray utf8 = (text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text).toUtf8();
    m_filter->SetDocumentFolder(QFileInfo(request.FilePath).absolutePath());
    m_docChars = text.size();
    if (m_spell)
        m_spell->SetPage(this, text);
    const bool big = DataAddressLength(utf8) > MaxDataAddressLength;
    // A page from the other address comes in a process and a widget of its own.
    m_catching = big || fromPageAddress;
    AimKeys();
    if (!big) {
        m_docUrl = QUrl::fromLocalFile(QFileInfo(request.FilePath).absoluteFilePath());
        m_page->setContent(utf8, mime, m_docUrl);
        return;
    }
    // Too big to hand over as data: the engine reads it from memory as it would a file.
    m_docUrl = m_scheme->Offer(m_schemeKey, request.FilePath, utf8, [this](const QUrl& url) {
        return TqbPageRequestFilter::MayLoad(url, m_filter->AllAllowed());
    });
    m_page->load(m_docUrl);
}

// Only the loads the editor starts itself (typed, in the engine's words) may replace the
// document: a note's refresh, a followed link or a form never do.
bool TqbDhtmlEdit::AcceptNavigation(const QUrl& url, int type, bool isMainFrame) {
    if (m_closing)
        return false;
    if (!isMainFrame)
        return true; // a frame inside the note; the request filter judges its files
    const auto kind = QWebEnginePage::NavigationType(type);
    if (kind == QWebEnginePage::NavigationTypeTyped &&
        (url.scheme() == u"data" || (TqbPageScheme::IsPageAddress(url) && url == m_docUrl)))
        return true;
    if (kind == QWebEnginePage::NavigationTypeLinkClicked) {
        const QUrl target = TqbPageScheme::ToFileUrl(url);
        QMetaObject::invokeMethod(
            this, [this, target] { emit LinkClicked(target); }, Qt::QueuedConnection);
    }
    return false;
}

void TqbDhtmlEdit::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    // Only the end of the load in flight counts; a refused navigation reports a start and a
    // stop of its own.
    if (m_closing || m_stage != TStage::Navigating || !SameDocument(info.url(), m_docUrl))
        return;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        if (m_loadingBlank || m_next) {
            StartNext();
            break;
        }
        if (info.isErrorPage()) {
            PageGaveUp(QDir::toNativeSeparators(m_docPath));
            break;
        }
        FinishLoad();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (m_loadingBlank)
            StartNext();
        else
            PageGaveUp(QDir::toNativeSeparators(m_docPath) + u' ' + info.errorString());
        break;
    }
}

void TqbDhtmlEdit::FinishLoad() {
    if (StartNext())
        return;
    m_stage = TStage::Finishing;
    const quint64 load = m_loads;
    const bool caret = m_caretPending;
    const QVariant place = std::exchange(m_placeForNextLoad, {});
    m_page->runJavaScript(CallScript(QStringLiteral("setMode"), {m_browse, caret, place}),
                          QWebEngineScript::ApplicationWorld,
                          [this, load, caret](const QVariant& result) {
                              if (!m_closing && load == m_loads && m_stage == TStage::Finishing)
                                  CompleteLoad(result.toMap(), caret);
                          });
}

void TqbDhtmlEdit::CompleteLoad(const QVariantMap& answer, bool caretPlaced) {
    if (!answer.value("ok").toBool()) {
        PageGaveUp(answer.value("error").toString());
        return;
    }
    if (StartNext())
        return;
    m_docId = answer.value("doc").toString();
    m_ready = true;
    // Each entry holds its page's whole text; notes are never gone back to by the engine.
    m_page->history()->clear();
    m_phase = TPhase::Ready;
    ApplyState(answer);
    const bool tooBig = !m_browse && answer.value("value").toString() == u"too big";
    const bool caretAsked = std::exchange(m_caretPending, false);
    // Before anyone hears of the document: keys typed from then on queue behind the held ones.
    if (QApplication::focusWidget() == m_catcher) {
        m_focusWanted = false;
        m_page->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        m_caretOnHandOver = caretAsked;
        m_replayPending = true;
        if (m_sinceCaught.isValid() && m_sinceCaught.elapsed() < HandOverPauseMs)
            m_handOverTimer->start();
        else
            HandOver();
    } else {
        if (caretAsked && !caretPlaced)
            CallAsync(QStringLiteral("caretToStart"), {}, false);
        TakeFocusBack();
        ReplayHeldInput();
    }
    emit SelectionStateChanged();
    emit DocumentComplete();
    if (tooBig) {
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (!m_closing && generation == m_generation)
                    emit EditingRefused();
            },
            Qt::QueuedConnection);
    }
}

// The load in flight ended without a document; unless a newer one waits, that is a failure.
void TqbDhtmlEdit::PageGaveUp(const QString& reason) {
    if (StartNext())
        return;
    FailLoad(tr("문서를 읽지 못했습니다: %1").arg(reason));
}

// Whatever failed, the editor then shows no document: what was on screen is not the note.
void TqbDhtmlEdit::FailLoad(const QString& message) {
    // With no document shown nothing the caller asked for failed: the blank page is put back
    // without a word, or each message would bring on another.
    const bool news = m_phase != TPhase::NoDocument && m_phase != TPhase::Failed;
    m_caretPending = false;
    m_focusWanted = false;
    m_heldInput.clear();
    ShowNoDocument();
    m_phase = TPhase::Failed;
    if (!news)
        return;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, message] {
            // Only while nothing newer has started: the news is of the load the caller asked for.
            if (!m_closing && generation == m_generation)
                emit DocumentLoadFailed(message);
        },
        Qt::QueuedConnection);
}

bool TqbDhtmlEdit::WaitUntilReady(int milliseconds) {
    if (m_ready)
        return true;
    if (!IsLoading())
        return false;
    RequireIdle();
    QEventLoop loop;
    const auto done = [&loop] { loop.quit(); };
    const QMetaObject::Connection complete =
        connect(this, &TqbDhtmlEdit::DocumentComplete, &loop, done);
    const QMetaObject::Connection failed =
        connect(this, &TqbDhtmlEdit::DocumentLoadFailed, &loop, done);
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    QPointer<TqbDhtmlEdit> self(this);
    m_waiting = true;
    // A failure's news is queued: the phase says it at once.
    if (IsLoading())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self)
        return false;
    m_waiting = false;
    disconnect(complete);
    disconnect(failed);
    return m_ready;
}

// ---- page calls

void TqbDhtmlEdit::RequireReady(const QString& action) const {
    if (m_ready)
        return;
    if (IsLoading())
        throw EqbError(tr("문서를 다 읽기 전에는 %1 수 없습니다.").arg(action));
    throw EqbError(tr("열린 문서가 없어 %1 수 없습니다.").arg(action));
}

void TqbDhtmlEdit::RequireIdle() const {
    // Timers run while a synchronous call waits; one call at a time keeps their order.
    if (m_waiting)
        throw EqbError(tr("편집기가 앞의 작업을 기다리는 중입니다."));
}

QVariant TqbDhtmlEdit::CallSync(const QString& function, const QVariantList& args) {
    RequireIdle();
    FinishHandOver();
    struct TAnswer {
        bool Done = false;
        QVariant Value;
    };
    auto answer = std::make_shared<TAnswer>();
    QEventLoop loop;
    QPointer<QEventLoop> loopAlive(&loop);
    QPointer<TqbDhtmlEdit> self(this);
    m_waiting = true;
    m_page->runJavaScript(CallScript(function, args), QWebEngineScript::ApplicationWorld,
                          [answer, loopAlive](const QVariant& value) {
                              answer->Done = true;
                              answer->Value = value;
                              if (loopAlive)
                                  loopAlive->quit();
                          });
    // A big document takes the page longer; a page whose process ended never answers. Keys
    // typed just before still go first, each laying out the whole paragraph it changed (a long
    // line takes the engine a while per key): the page reports each, and a page that reports is
    // working, not stuck, so the time limit runs from its last report. A page that never stops
    // reporting (a script of its own, say) would hold the save for ever: that wait has a cap.
    const int limitMs = PageWaitMs(m_timeoutMs, m_docChars);
    const int busyLimitMs = std::max(limitMs, m_busyLimitMs);
    bool processEnded = false;
    bool busyTooLong = false;
    if (!answer->Done) {
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(m_bridge, &TqbDhtmlBridge::Reported, &limit, [&limit] { limit.start(); });
        limit.start(limitMs);
        QTimer cap;
        cap.setSingleShot(true);
        connect(&cap, &QTimer::timeout, &loop, [&] {
            busyTooLong = true;
            loop.quit();
        });
        cap.start(busyLimitMs);
        connect(m_page, &QWebEnginePage::renderProcessTerminated, &loop, [&] {
            processEnded = true;
            loop.quit();
        });
        // A wait the user would notice shows that the program is working.
        bool cursorShown = false;
        QTimer::singleShot(300, &loop, [&cursorShown] {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            cursorShown = true;
        });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (cursorShown)
            QGuiApplication::restoreOverrideCursor();
    }
    if (!self)
        throw EqbError(tr("편집기가 닫혔습니다."));
    m_waiting = false;
    if (!answer->Done && processEnded)
        throw EqbError(tr("문서를 보여 주던 프로세스가 끝났습니다."));
    if (!answer->Done && busyTooLong)
        throw EqbError(
            tr("편집기가 %1초 동안 바빠서 응답하지 않았습니다.").arg(busyLimitMs / 1000.0));
    if (!answer->Done)
        throw EqbError(tr("편집기가 %1초 안에 응답하지 않았습니다.").arg(limitMs / 1000.0));
    const QVariantMap map = answer->Value.toMap();
    if (!map.value("ok").toBool()) {
        const QString error = map.value("error").toString();
        throw EqbError(error.isEmpty() ? tr("편집기가 응답하지 않았습니다.") : error);
    }
    if (map.value("doc").toString() != m_docId)
        throw EqbError(tr("편집기의 문서가 바뀌었습니다."));
    ApplyState(map);
    emit SelectionStateChanged();
    return map.value("value");
}

void TqbDhtmlEdit::CallAsync(const QString& function, const QVariantList& args, bool emitState,
                             const std::function<void()>& done) {
    const quint64 generation = m_generation;
    m_page->runJavaScript(CallScript(function, args), QWebEngineScript::ApplicationWorld,
                          [this, generation, emitState, function, done](const QVariant& result) {
                              if (m_closing || generation != m_generation)
                                  return;
                              const QVariantMap answer = result.toMap();
                              if (!answer.value("ok").toBool()) {
                                  qWarning("editor: %s failed: %s", qPrintable(function),
                                           qPrintable(answer.value("error").toString()));
                                  return;
                              }
                              if (answer.value("doc").toString() != m_docId)
                                  return;
                              ApplyState(answer);
                              if (emitState)
                                  emit SelectionStateChanged();
                              if (done)
                                  done();
                          });
}

void TqbDhtmlEdit::ApplyState(const QVariantMap& answer) {
    const QVariant state = answer.value("state");
    if (m_ready && state.canConvert<QVariantMap>())
        m_state = TqbSelectionState::FromReport(state.toMap());
}

void TqbDhtmlEdit::OnReported(const QString& kind, const QVariantMap& state) {
    // Reports of a document being replaced would describe the old one.
    if (m_closing || !m_ready || state.value("doc").toString() != m_docId)
        return;
    m_state = TqbSelectionState::FromReport(state);
    emit SelectionStateChanged();
    if (kind == u"click")
        emit DocumentClick();
    else if (kind == u"keyup")
        emit DocumentKeyUp();
    else if (kind == u"changed")
        emit ContentChanged();
    else if (kind == u"link") {
        // Following saves the note, a call into the page that cannot be answered from inside
        // the page's own message.
        const QUrl target = TqbPageScheme::ToFileUrl(QUrl(state.value("href").toString()));
        QMetaObject::invokeMethod(
            this, [this, target] { emit LinkClicked(target); }, Qt::QueuedConnection);
    }
}

void TqbDhtmlEdit::OnPictureGiven(const QString& doc, const QString& type, const QString& name,
                                  const QString& base64) {
    if (m_closing || !m_ready || m_browse || doc != m_docId)
        return;
    m_givenDoc = doc;
    emit PictureGiven(QByteArray::fromBase64(base64.toLatin1()), type, name);
    m_givenDoc.clear();
}

void TqbDhtmlEdit::OnOfficeHtmlGiven(const QString& doc, const QString& html,
                                     const QStringList& noteClasses) {
    if (m_closing || !m_ready || m_browse || doc != m_docId)
        return;
    m_givenDoc = doc;
    emit OfficeHtmlPasted(html, noteClasses);
    m_givenDoc.clear();
}

// ---- saving

QString TqbDhtmlEdit::SerializedHtml() {
    RequireReady(tr("저장할"));
    const quint64 generation = m_generation;
    const QVariantMap page = CallSync(QStringLiteral("serialize"), {}).toMap();
    // A load that began during the wait would make this another document.
    if (!m_ready || generation != m_generation ||
        !SameDocument(QUrl(page.value("url").toString()), m_docUrl))
        throw EqbError(tr("저장하는 동안 문서가 바뀌었습니다."));
    const QString html = page.value("html").toString();
    if (!html.contains(u'<'))
        throw EqbError(tr("편집기가 빈 문서를 돌려주었습니다."));
    return PageTextToSave(html, m_lineEnd);
}

bool TqbDhtmlEdit::SaveDocument(const QString& path) {
    if (path.isEmpty())
        throw EqbError(tr("저장할 파일 이름이 없습니다."));
    return qbPageCodec::WriteIfChanged(path, TextToWrite(), m_fileCharset);
}

QByteArray TqbDhtmlEdit::DocumentBytes() {
    return qbPageCodec::Encode(TextToWrite(), m_fileCharset);
}

void TqbDhtmlEdit::ReadDocumentBytes(std::function<void(const QByteArray&)> done) {
    if (!m_ready || m_closing)
        return;
    const quint64 generation = m_generation;
    const QPointer<TqbDhtmlEdit> self(this);
    m_page->runJavaScript(
        CallScript(QStringLiteral("serialize"), {}), QWebEngineScript::ApplicationWorld,
        [self, generation, done = std::move(done)](const QVariant& value) {
            if (!self || self->m_closing || !self->m_ready || generation != self->m_generation)
                return;
            const QVariantMap answer = value.toMap();
            const QVariantMap page = answer.value("value").toMap();
            const QString html = page.value("html").toString();
            if (!answer.value("ok").toBool() || answer.value("doc").toString() != self->m_docId ||
                !SameDocument(QUrl(page.value("url").toString()), self->m_docUrl) ||
                !html.contains(u'<'))
                return;
            QString text = PageTextToSave(html);
            if (self->m_hadMark)
                text.prepend(QChar(0xFEFF));
            done(qbPageCodec::Encode(text, self->m_fileCharset));
        });
}

QString TqbDhtmlEdit::TextToWrite() {
    QString text = SerializedHtml();
    if (m_hadMark)
        text.prepend(QChar(0xFEFF));
    return text;
}

bool TqbDhtmlEdit::DocumentChanged() {
    RequireReady(tr("저장할"));
    return CallSync(QStringLiteral("changed"), {}).toBool();
}

QString TqbDhtmlEdit::DocumentHtml() {
    return SerializedHtml();
}

// ---- modes and commands

void TqbDhtmlEdit::SetBrowseMode(bool browse) {
    m_browse = browse;
    if (m_spell)
        m_spell->SetEditing(this, !browse);
    if (!m_ready)
        return;
    // What was typed in the mode that was on goes in before the other one is.
    FinishHandOver();
    CallAsync(QStringLiteral("setMode"), {browse, false}, true);
}

void TqbDhtmlEdit::ShowContextMenu(const QPoint& pos) {
    const QWebEngineContextMenuRequest* request = m_view->lastContextMenuRequest();
    if (!request)
        return;
    auto* menu = new QMenu(m_view);
    menu->setObjectName(QStringLiteral("mnuEditor"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_browse)
        m_spell->AddMenuItems(menu, *request, m_page);
    menu->addActions(m_view->actions());
    if (!m_browse)
        emit ContextMenuFilling(menu);
    emit ContextMenuShown(request->misspelledWord(), TqbSpellCheck::Suggestions(*request));
    menu->popup(m_view->mapToGlobal(pos));
}

void TqbDhtmlEdit::ExecCommand(int id) {
    RequireReady(tr("명령을 실행할"));
    switch (id) {
    case DECMD_COPY:
        m_page->triggerAction(QWebEnginePage::Copy);
        break;
    case DECMD_CUT:
        m_page->triggerAction(QWebEnginePage::Cut);
        break;
    case DECMD_PASTE:
        m_page->triggerAction(QWebEnginePage::Paste);
        break;
    case DECMD_FINDTEXT:
        emit FindRequested();
        break;
    default:
        throw EqbError(tr("알 수 없는 편집 명령입니다: %1").arg(id));
    }
}

int TqbDhtmlEdit::QueryStatus(int id) const {
    if (!m_page)
        return id == DECMD_COPY || id == DECMD_CUT || id == DECMD_PASTE || id == DECMD_FINDTEXT
                   ? OLECMDF_SUPPORTED | (id == DECMD_FINDTEXT && m_ready ? OLECMDF_ENABLED : 0)
                   : 0;
    bool enabled = false;
    switch (id) {
    case DECMD_COPY:
        enabled = m_page->action(QWebEnginePage::Copy)->isEnabled();
        break;
    case DECMD_CUT:
        enabled = !m_browse && m_page->action(QWebEnginePage::Cut)->isEnabled();
        break;
    case DECMD_PASTE:
        enabled = !m_browse && m_page->action(QWebEnginePage::Paste)->isEnabled();
        break;
    case DECMD_FINDTEXT:
        enabled = true;
        break;
    default:
        return 0;
    }
    return OLECMDF_SUPPORTED | (m_ready && enabled ? OLECMDF_ENABLED : 0);
}

void TqbDhtmlEdit::DocExec(int id, const QString& address) {
    const char* command = DocumentCommand(id);
    if (!command)
        throw EqbError(tr("알 수 없는 문서 명령입니다: %1").arg(id));
    RequireReady(tr("명령을 실행할"));
    QVariant argument;
    if (id == IDM_HYPERLINK || id == IDM_IMAGE) {
        const QString trimmed = address.trimmed();
        if (trimmed.isEmpty())
            return;
        // A picture chosen from disk comes as a path; the page needs an address.
        argument = QFileInfo(trimmed).isAbsolute() && QUrl(trimmed).scheme().isEmpty()
                       ? QUrl::fromLocalFile(trimmed).toString(QUrl::FullyEncoded)
                       : trimmed;
    }
    CallSync(QStringLiteral("exec"), {QString::fromLatin1(command), argument});
}

int TqbDhtmlEdit::DocQueryStatus(int id) const {
    if (!DocumentCommand(id) || !m_ready)
        return 0;
    bool enabled = m_state.Editable;
    bool latched = false;
    switch (id) {
    case IDM_UNDO:
        enabled = enabled && m_state.CanUndo;
        break;
    case IDM_REDO:
        enabled = enabled && m_state.CanRedo;
        break;
    case IDM_ORDERLIST:
        latched = m_state.OrderedList;
        break;
    case IDM_UNORDERLIST:
        latched = m_state.UnorderedList;
        break;
    default:
        break;
    }
    return OLECMDF_SUPPORTED | (enabled ? OLECMDF_ENABLED : 0) | (latched ? OLECMDF_LATCHED : 0);
}

QVariant TqbDhtmlEdit::QueryCommandValue(const QString& name) const {
    const std::optional<QVariant> value = m_state.Value(name);
    if (!value)
        throw EqbError(tr("알 수 없는 선택 영역 명령입니다: %1").arg(name));
    return m_ready ? *value : QVariant();
}

bool TqbDhtmlEdit::ExecSelectionCommand(const QString& name, const QVariant& value) {
    const QString key = name.toLower();
    const TSelectionCommand* found = nullptr;
    for (const auto& command : SelectionCommands)
        if (key == QLatin1String(command.Name))
            found = &command;
    if (!found)
        throw EqbError(tr("알 수 없는 선택 영역 명령입니다: %1").arg(name));
    RequireReady(tr("명령을 실행할"));

    const QString command = QString::fromLatin1(found->Command);
    bool ok = true;
    QVariant result;
    switch (found->Kind) {
    case TSelectionKind::Style:
        result = CallSync(QStringLiteral("setStyle"), {command, value.toBool()});
        break;
    case TSelectionKind::Justify:
        result = CallSync(QStringLiteral("justify"), {command, value.toBool()});
        break;
    case TSelectionKind::Color: {
        const QString css = ColorToCss(value.toInt(&ok));
        if (!ok || css.isEmpty())
            throw EqbError(tr("색상 값이 올바르지 않습니다: %1").arg(value.toString()));
        result = CallSync(QStringLiteral("exec"), {command, css});
        break;
    }
    case TSelectionKind::Text:
        result = CallSync(QStringLiteral("exec"), {command, value.toString()});
        break;
    case TSelectionKind::Size: {
        const int size = value.toInt(&ok);
        if (!ok)
            throw EqbError(tr("글자 크기가 올바르지 않습니다: %1").arg(value.toString()));
        result = CallSync(QStringLiteral("exec"), {command, QString::number(size)});
        break;
    }
    }
    return result.toBool();
}

bool TqbDhtmlEdit::PasteHtml(const QString& html) {
    RequireReady(tr("붙여 넣을"));
    return CallSync(QStringLiteral("pasteHtml"), {html}).toBool();
}

QVariant TqbDhtmlEdit::RunPageCommand(const QString& name, const QVariantList& args) {
    RequireReady(tr("명령을 실행할"));
    return CallSync(name, args);
}

void TqbDhtmlEdit::InsertPicture(const QString& address) {
    // No wait for the page: the call comes while it may be waiting for another.
    if (!m_givenDoc.isEmpty())
        CallAsync(QStringLiteral("insertPicture"), {m_givenDoc, address}, true);
}

void TqbDhtmlEdit::InsertPastedHtml(const QString& html, const std::function<void()>& done) {
    if (!m_givenDoc.isEmpty())
        CallAsync(QStringLiteral("pasteCleaned"), {m_givenDoc, html}, true, done);
}

void TqbDhtmlEdit::FindText(const QString& text, bool backward, bool caseSensitive) {
    CreateView();
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    if (caseSensitive)
        flags |= QWebEnginePage::FindCaseSensitively;
    // A search repeated with other options would be taken as "find next" and never answered.
    if (text == m_findText && flags.toInt() != m_findFlags)
        m_page->findText(QString());
    m_findText = text;
    m_findFlags = flags.toInt();
    QPointer<TqbDhtmlEdit> self(this);
    m_page->findText(text, flags, [self](const QWebEngineFindTextResult& result) {
        if (self && !self->m_closing)
            emit self->TextFound(result.numberOfMatches() > 0);
    });
}

void TqbDhtmlEdit::KeepPlaceForNextLoad() {
    m_placeForNextLoad = {};
    if (!m_ready || m_browse || m_waiting)
        return;
    try {
        m_placeForNextLoad = CallSync(QStringLiteral("caretPlace"), {});
    } catch (const EqbError&) {
        // Without an answer the caret goes to the start, as for any note opened.
    }
}

void TqbDhtmlEdit::FocusAtStart() {
    if (m_ready) {
        if (m_handOverTimer->isActive())
            HandOver();
        m_view->setFocus(Qt::OtherFocusReason);
        CallAsync(QStringLiteral("caretToStart"), {}, true);
        return;
    }
    m_caretPending = true;
    if (!(IsLoading() && m_catching))
        setFocus(Qt::OtherFocusReason); // the view once there is one
    if (IsLoading())
        WantFocus();
}

// ---- printing and closing

void TqbDhtmlEdit::PrintDocument(QPrinter* printer) {
    RequireReady(tr("인쇄할"));
    m_printer->Print(printer);
}

void TqbDhtmlEdit::PrintDocument(bool withUi) {
    RequireReady(tr("인쇄할"));
    m_printer->Print(m_docPath, withUi);
}

void TqbDhtmlEdit::HideForClose() {
    if (m_view)
        m_view->hide();
    hide();
}
