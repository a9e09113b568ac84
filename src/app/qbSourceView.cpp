#include "app/qbSourceView.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TqbSourceView::TqbSourceView(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(SourceFont());
}

QFont TqbSourceView::SourceFont() {
    QFont font;
    font.setFamilies({QStringLiteral("굴림체"), QStringLiteral("GulimChe"),
                      QStringLiteral("NanumGothicCoding"), QStringLiteral("D2Coding"),
                      QStringLiteral("Noto Sans Mono CJK KR"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    return font;
}

QString TqbSourceView::Text() const {
    QString text = document()->toRawText();
    // A syllable still being composed is shown but not yet in the document; it is typing too.
    const QTextBlock block = textCursor().block();
    if (const QTextLayout* layout = block.layout(); layout && !layout->preeditAreaText().isEmpty())
        text.insert(block.position() + layout->preeditAreaPosition(), layout->preeditAreaText());
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void TqbSourceView::SetText(const QString& text) {
    setReadOnly(false);
    // The editor's document takes U+2028 and U+2029 for line and paragraph breaks, so they would
    // come back as line ends. Shown as references they stay the same characters in the page, in
    // every charset, and the user sees they are there.
    QString shown = text;
    shown.replace(QChar::LineSeparator, QLatin1String("&#x2028;"));
    shown.replace(QChar::ParagraphSeparator, QLatin1String("&#x2029;"));
    setPlainText(shown);
    document()->setModified(false);
}

void TqbSourceView::ShowNothing() {
    setPlainText(QString());
    document()->setModified(false);
    setReadOnly(true);
}

bool TqbSourceView::FindText(const QString& text, bool backward, bool caseSensitive) {
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (caseSensitive)
        flags |= QTextDocument::FindCaseSensitively;
    if (find(text, flags))
        return true;
    const QTextCursor before = textCursor();
    moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
    if (find(text, flags))
        return true;
    setTextCursor(before);
    return false;
}
