#pragma once

#include <QPlainTextEdit>

// The source mode's plain-text editor of a page's HTML: a Korean monospace face, tabs typed,
// no wrapping, and the text exactly as typed (non-breaking spaces stay what they are).
class TqbSourceView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TqbSourceView(QWidget* parent = nullptr);

    // Lines joined by "\n"; U+00A0 kept, unlike toPlainText(); the syllable an input method is
    // composing included.
    QString Text() const;
    // Replaces the text, clears the modified flag and the undo history, and allows typing.
    // U+2028 and U+2029, which the editor would take for line ends, show as the references
    // "&#x2028;" and "&#x2029;" where the page decodes references, and elsewhere (scripts,
    // styles, comments) as marked symbols that Text() gives back as the characters.
    void SetText(const QString& text);
    // Shows nothing and takes no typing: no document is open.
    void ShowNothing();

    // Finds the next match, going round once from the other end; whether there was one.
    bool FindText(const QString& text, bool backward, bool caseSensitive);

    static QFont SourceFont();

private:
    // The document's text, separators as the page holds them, without a composition.
    QString DocumentText() const;

    bool m_hasMarkedSeparators = false;
};
