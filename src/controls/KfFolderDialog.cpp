#include "controls/KfFolderDialog.h"

#include "controls/KfFolderRules.h"

#include <QApplication>
#include <QStandardPaths>

using namespace KfFolderRules;

TKfFolderDialog::TKfFolderDialog(QObject* owner, const QString& languageKey)
    : QObject(owner), m_languageKey(languageKey.isEmpty() ? SystemLanguageKey() : languageKey) {
    SetLabelCaptions(DefaultLabelCaptions());
    SetNewFolderCaptions(DefaultNewFolderCaptions());
}

TKfFolderDialog::~TKfFolderDialog() = default;

void TKfFolderDialog::SetFlags(TKfBrowseFlags flags) {
    m_flags = flags;
    if (m_browser) {
        m_browser->SetShowPath(flags.testFlag(TKfBrowseFlag::ShowPath));
        m_browser->SetOnlyFileSystem(flags.testFlag(TKfBrowseFlag::OnlyFileSystem));
    }
}

void TKfFolderDialog::SetNewFolderVisible(bool on) {
    m_newFolderVisible = on;
    if (m_browser)
        m_browser->SetNewFolderVisible(on);
}

void TKfFolderDialog::SetNewFolderEnabled(bool on) {
    m_newFolderEnabled = on;
    if (m_browser)
        m_browser->SetNewFolderEnabled(on);
}

void TKfFolderDialog::SetLabelCaptions(const QStringList& lines) {
    m_labelCaptions = lines;
    m_labelCaption = ChooseCaption(lines, m_languageKey);
    if (m_browser)
        m_browser->SetLabelCaption(m_labelCaption);
}

void TKfFolderDialog::SetNewFolderCaptions(const QStringList& lines) {
    m_newFolderCaptions = lines;
    m_newFolderCaption = ChooseCaption(lines, m_languageKey);
    if (m_browser)
        m_browser->SetNewFolderCaption(m_newFolderCaption);
}

QString TKfFolderDialog::RootFolderPath(TKfRootFolder root) {
    const auto location = [](QStandardPaths::StandardLocation where) {
        const QString path = QStandardPaths::writableLocation(where);
        return path.isEmpty() ? QDir::homePath() : path;
    };
    switch (root) {
    case TKfRootFolder::foDesktop:
    case TKfRootFolder::foDesktopFolder: return location(QStandardPaths::DesktopLocation);
    case TKfRootFolder::foPersonal: return location(QStandardPaths::DocumentsLocation);
    case TKfRootFolder::foPrograms:
    case TKfRootFolder::foStartMenu: return location(QStandardPaths::ApplicationsLocation);
    case TKfRootFolder::foFonts: return location(QStandardPaths::FontsLocation);
    default: return QDir::rootPath();
    }
}

QWidget* TKfFolderDialog::OwnerWindow() const {
    if (m_parentWindow)
        return m_parentWindow;
    if (auto* widget = qobject_cast<QWidget*>(parent()))
        return widget->window();
    return QApplication::activeWindow();
}

bool TKfFolderDialog::RunFolderBrowser() {
    TKfFolderBrowser browser(RootFolderPath(m_rootFolder), m_languageKey, OwnerWindow());
    m_browser = &browser;
    browser.SetLabelCaption(m_labelCaption);
    browser.SetNewFolderCaption(m_newFolderCaption);
    browser.SetNewFolderEnabled(m_newFolderEnabled);
    browser.SetNewFolderVisible(m_newFolderVisible);
    SetFlags(m_flags);
    if (m_namePrompt)
        browser.SetNamePrompt(m_namePrompt);
    connect(&browser, &TKfFolderBrowser::SelectionChanged, this,
            [this, &browser](const QString& path) { emit OnSelectionChanged(&browser, path); });

    // Without a folder to start at, the home folder is selected as the shell selects its root.
    if (!browser.SelectFolder(m_folder) && m_rootFolder == TKfRootFolder::foDesktopExpanded)
        browser.SelectFolder(QDir::homePath());
    emit OnInitialized(&browser);

    const bool confirmed = browser.exec() == QDialog::Accepted && !browser.WorkingPath().isEmpty();
    m_browser = nullptr;
    if (confirmed)
        m_folder = browser.WorkingPath();
    return confirmed;
}
