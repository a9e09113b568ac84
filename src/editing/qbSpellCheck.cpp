#include "editing/qbSpellCheck.h"

#include "platform/qbError.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

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
    if (editing && !m_editing.contains(editor)) {
        m_editing.insert(editor);
        connect(editor, &QObject::destroyed, this, [this, editor] { SetEditing(editor, false); });
    } else if (!editing && m_editing.remove(editor)) {
        disconnect(editor, nullptr, this, nullptr);
    }
    Apply();
}

bool TqbSpellCheck::Active() const {
    return Available() && m_wanted && !m_editing.isEmpty();
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
