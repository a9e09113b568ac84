#pragma once

#include "editing/qbUserDictionary.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <optional>

class QMenu;
class QWebEngineContextMenuRequest;
class QWebEnginePage;
class QWebEngineProfile;

// The web engine's spell checker for the editors of one profile: the dictionaries there are,
// whether the user wants it, the user's own words. It underlines only while an editor edits:
// browse mode shows a page as it is, and the markup is never touched either way.
class TqbSpellCheck : public QObject {
    Q_OBJECT
public:
    // The one of the profile, made on first use.
    static TqbSpellCheck* For(QWebEngineProfile* profile);

    // Tells the engine where the dictionaries are, before it starts: an installed copy's
    // "<sharedDir>dictionaries" when the folder beside the program has none. A folder the
    // environment names already wins.
    static void PublishDictionaries(const QString& sharedDir);
    // The folder the engine reads: the environment's, else the one beside the program.
    static QString DictionaryFolder();
    // The languages of the folder's dictionaries ("en-US", "ko-KR"), sorted.
    static QStringList Languages(const QString& folder);

    bool Available() const { return !m_languages.isEmpty(); }
    QStringList Languages() const { return m_languages; }

    bool Wanted() const { return m_wanted; }
    void SetWanted(bool wanted);
    // A page with a longer paragraph than this (characters) is not checked: the engine checks
    // a paragraph whole after every key, and a save waits behind it (seconds at 256 K, minutes
    // at 1 M).
    static constexpr qsizetype MaxCheckedParagraph = 32 * 1024;
    // The characters of the longest paragraph of the page's markup, as the engine divides
    // the text: at block elements, line breaks and the line ends of a <pre>.
    static qsizetype LongestParagraph(QStringView html);

    // An editor entered or left edit mode (or went away).
    void SetEditing(const QObject* editor, bool editing);
    // The editor shows this page now.
    void SetPage(const QObject* editor, QStringView html);
    // Whether the engine checks the pages now.
    bool Active() const;

    // The user's words, and the engine's copy of them that it reads when it starts. Call before
    // the first page loads. Throws EqbError when the engine's copy cannot be written.
    void SetUserDictionary(const QString& fileName);
    const TqbUserDictionary* UserDictionary() const { return m_user ? &*m_user : nullptr; }
    // Adds a word to the user's dictionary (see TqbUserDictionary::Add); the engine skips it
    // from its next start on. Throws EqbError.
    void AddWord(const QString& word);

    // The engine's suggestions for the clicked word, in NFC.
    static QStringList Suggestions(const QWebEngineContextMenuRequest& request);
    // The spelling items of an editor's pop-up menu for what was clicked: the suggestions
    // (each replacing the word), "사전에 추가"; nothing when no misspelt word was clicked.
    void AddMenuItems(QMenu* menu, const QWebEngineContextMenuRequest& request,
                      QWebEnginePage* page);

signals:
    void ActiveChanged(bool active);

private:
    explicit TqbSpellCheck(QWebEngineProfile* profile);
    void Apply();
    void Forget(QObject* editor);

    QWebEngineProfile* m_profile;
    QStringList m_languages;
    bool m_wanted = true;
    QSet<const QObject*> m_editing;
    // Editors whose page is too long to check.
    QSet<const QObject*> m_unchecked;
    std::optional<TqbUserDictionary> m_user;
};
