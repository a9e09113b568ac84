#include "app/qbSourceView.h"

#include "app/qbSourceText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

// The format property that marks a symbol standing for a raw separator, holding the separator.
constexpr int SeparatorProperty = QTextFormat::UserProperty + 1;

QChar SymbolFor(QChar separator) {
    return separator == QChar::LineSeparator ? QChar(0x2424) : QChar(0x00B6); // ␤, ¶
}

bool IsSeparator(QChar c) {
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

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
    QString text = DocumentText();
    // A syllable still being composed is shown but not yet in the document; it is typing too.
    // Every character above stands for one of the document, so the places agree.
    const QTextBlock block = textCursor().block();
    if (const QTextLayout* layout = block.layout(); layout && !layout->preeditAreaText().isEmpty())
        text.insert(block.position() + layout->preeditAreaPosition(), layout->preeditAreaText());
    return text;
}

QString TqbSourceView::DocumentText() const {
    if (!m_hasMarkedSeparators) {
        QString text = document()->toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        text.replace(QChar::LineSeparator, u'\n');
        return text;
    }
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += u'\n';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString piece = fragment.text();
            piece.replace(QChar::LineSeparator, u'\n');
            // Typing beside a symbol takes its format too: only the symbol itself goes back.
            const QVariant separator = fragment.charFormat().property(SeparatorProperty);
            if (separator.isValid()) {
                const QChar raw(char16_t(separator.toInt()));
                piece.replace(SymbolFor(raw), raw);
            }
            text += piece;
        }
    }
    return text;
}

void TqbSourceView::SetText(const QString& text) {
    setReadOnly(false);
    // The editor's document takes U+2028 and U+2029 for line and paragraph breaks, so they would
    // come back as line ends. Where the page decodes references, the reference is the same
    // character in every charset and shows the user it is there; in a script, a style or a
    // comment it would be eight other characters, so there a marked symbol stands in.
    QString shown;
    shown.reserve(text.size());
    QList<std::pair<qsizetype, QChar>> marked;
    const bool hasSeparators = std::any_of(text.cbegin(), text.cend(), IsSeparator);
    const auto raw = hasSeparators ? qbSourceText::RawStretches(text)
                                   : QList<std::pair<qsizetype, qsizetype>>();
    qsizetype stretch = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!IsSeparator(c)) {
            shown += c;
            continue;
        }
        while (stretch < raw.size() && raw[stretch].second <= i)
            ++stretch;
        if (stretch < raw.size() && raw[stretch].first <= i) {
            marked.append({shown.size(), c});
            shown += SymbolFor(c);
        } else {
            shown += c == QChar::LineSeparator ? QLatin1String("&#x2028;")
                                               : QLatin1String("&#x2029;");
        }
    }
    setPlainText(shown);
    m_hasMarkedSeparators = !marked.isEmpty();
    for (const auto& [at, separator] : std::as_const(marked)) {
        QTextCursor cursor(document());
        cursor.setPosition(int(at));
        cursor.setPosition(int(at) + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setProperty(SeparatorProperty, int(separator.unicode()));
        format.setForeground(palette().color(QPalette::PlaceholderText));
        cursor.mergeCharFormat(format);
    }
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

void TqbSourceView::ShowNothing() {
    setPlainText(QString());
    m_hasMarkedSeparators = false;
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
