#include "editing/qbSpellCheck.h"

#include "platform/qbError.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>

namespace {

const char DictionariesVariable[] = "QTWEBENGINE_DICTIONARIES_PATH";

QString BesideProgram() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("qtwebengine_dictionaries"));
}

} // namespace

TqbSpellCheck* TqbSpellCheck::For(QWebEngineProfile* profile) {
    if (auto* found = profile->findChild<TqbSpellCheck*>(QString(), Qt::FindDirectChildrenOnly))
        return found;
    return new TqbSpellCheck(profile);
}

TqbSpellCheck::TqbSpellCheck(QWebEngineProfile* profile)
    : QObject(profile), m_profile(profile), m_languages(Languages(DictionaryFolder())) {
    if (Available())
        m_profile->setSpellCheckLanguages(m_languages);
    Apply();
}

void TqbSpellCheck::PublishDictionaries(const QString& sharedDir) {
    if (qEnvironmentVariableIsSet(DictionariesVariable) || !Languages(BesideProgram()).isEmpty())
        return;
    const QString installed = QDir(sharedDir).filePath(QStringLiteral("dictionaries"));
    if (!sharedDir.isEmpty() && !Languages(installed).isEmpty())
        qputenv(DictionariesVariable, QFile::encodeName(installed));
}

QString TqbSpellCheck::DictionaryFolder() {
    const QString named = qEnvironmentVariable(DictionariesVariable);
    return named.isEmpty() ? BesideProgram() : named;
}

QStringList TqbSpellCheck::Languages(const QString& folder) {
    QStringList languages;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList({QStringLiteral("*.bdic")}, QDir::Files, QDir::Name))
        languages.append(file.completeBaseName());
    return languages;
}

void TqbSpellCheck::SetWanted(bool wanted) {
    m_wanted = wanted;
    Apply();
}

void TqbSpellCheck::SetEditing(const QObject* editor, bool editing) {
    if (editing)
        m_editing.insert(editor);
    else
        m_editing.remove(editor);
    connect(editor, &QObject::destroyed, this, &TqbSpellCheck::Forget, Qt::UniqueConnection);
    Apply();
}

void TqbSpellCheck::SetPage(const QObject* editor, QStringView html) {
    if (LongestParagraph(html) > MaxCheckedParagraph)
        m_unchecked.insert(editor);
    else
        m_unchecked.remove(editor);
    connect(editor, &QObject::destroyed, this, &TqbSpellCheck::Forget, Qt::UniqueConnection);
    Apply();
}

void TqbSpellCheck::Forget(QObject* editor) {
    m_editing.remove(editor);
    m_unchecked.remove(editor);
    Apply();
}

bool TqbSpellCheck::Active() const {
    if (!Available() || !m_wanted)
        return false;
    for (const QObject* editor : m_editing)
        if (!m_unchecked.contains(editor))
            return true;
    return false;
}

qsizetype TqbSpellCheck::LongestParagraph(QStringView html) {
    static const QSet<QString> breaking = {
        "address", "article", "aside", "blockquote", "body", "br", "caption", "center", "dd",
        "details", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form",
        "h1", "h2", "h3", "h4", "h5", "h6", "head", "header", "hr", "html", "li", "main", "nav",
        "ol", "p", "pre", "section", "table", "tbody", "td", "tfoot", "th", "thead", "title",
        "tr", "ul"};
    qsizetype longest = 0;
    qsizetype run = 0;
    int inPre = 0;
    const qsizetype n = html.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = html[i];
        if (c != u'<') {
            if (c == u'\n' && inPre > 0)
                run = 0;
            else
                longest = std::max(longest, ++run);
            ++i;
            continue;
        }
        if (html.mid(i, 4) == u"<!--") {
            const qsizetype end = html.indexOf(u"-->", i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype nameStart = i + (i + 1 < n && html[i + 1] == u'/' ? 2 : 1);
        const bool closing = nameStart == i + 2;
        qsizetype end = nameStart;
        while (end < n && html[end].isLetterOrNumber())
            ++end;
        const QString name = html.mid(nameStart, end - nameStart).toString().toLower();
        if (breaking.contains(name))
            run = 0;
        if (name == u"pre")
            inPre = std::max(0, inPre + (closing ? -1 : 1));
        // A script's or a style's text is never checked.
        if (!closing && (name == u"script" || name == u"style")) {
            const qsizetype close = html.indexOf(QStringLiteral("</") + name, end, Qt::CaseInsensitive);
            i = close < 0 ? n : close;
            continue;
        }
        const qsizetype gt = html.indexOf(u'>', end);
        i = gt < 0 ? n : gt + 1;
    }
    return longest;
}

// Turning the engine's checker off also takes its underlines off the pages.
void TqbSpellCheck::Apply() {
    const bool active = Active();
    if (m_profile->isSpellCheckEnabled() == active)
        return;
    m_profile->setSpellCheckEnabled(active);
    emit ActiveChanged(active);
}

void TqbSpellCheck::SetUserDictionary(const QString& fileName) {
    m_user.emplace(fileName);
    m_user->WriteEngineFile(m_profile->persistentStoragePath());
}

void TqbSpellCheck::AddWord(const QString& word) {
    if (!m_user)
        throw EqbError(QStringLiteral("사용자 사전이 정해지지 않았습니다."));
    if (m_user->Add(word))
        m_user->WriteEngineFile(m_profile->persistentStoragePath());
}

// The Korean dictionary gives some suggestions with a final consonant as a letter of its own
// (돼 + ᆻ for 됐): they go into the page as one syllable, as typed text is.
QStringList TqbSpellCheck::Suggestions(const QWebEngineContextMenuRequest& request) {
    QStringList suggestions;
    for (const QString& suggestion : request.spellCheckerSuggestions())
        suggestions.append(suggestion.normalized(QString::NormalizationForm_C));
    return suggestions;
}

void TqbSpellCheck::AddMenuItems(QMenu* menu, const QWebEngineContextMenuRequest& request,
                                 QWebEnginePage* page) {
    const QString word = request.misspelledWord();
    if (!Active() || word.isEmpty() || !request.isContentEditable())
        return;
    const QStringList suggestions = Suggestions(request);
    for (const QString& suggestion : suggestions)
        connect(menu->addAction(suggestion), &QAction::triggered, page,
                [page, suggestion] { page->replaceMisspelledWord(suggestion); });
    if (suggestions.isEmpty())
        menu->addAction(QStringLiteral("추천 단어 없음"))->setEnabled(false);
    if (m_user && m_user->Contains(word)) {
        // The running engine cannot be told of a word: it reads the list when it starts.
        menu->addAction(QStringLiteral("사전에 추가한 낱말: 다시 시작하면 밑줄이 없어집니다"))
            ->setEnabled(false);
    } else {
        QAction* add = menu->addAction(QStringLiteral("사전에 추가"));
        add->setEnabled(m_user && TqbUserDictionary::IsValidWord(word));
        connect(add, &QAction::triggered, this, [this, word] { AddWord(word); });
    }
    menu->addSeparator();
}
