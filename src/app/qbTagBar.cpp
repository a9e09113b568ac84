#include "app/qbTagBar.h"

#include "library/qbNoteTags.h"
#include "note/qbOpenNote.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

const QString TqbTagBar::Placeholder =
    QStringLiteral("태그를 쉼표로 나눠 적으세요 (예: 업무, 회의)");

TqbTagBar::TqbTagBar(TqbOpenNote& openNote, QWidget* parent)
    : QWidget(parent), m_openNote(openNote) {
    setObjectName("pnlTags");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    auto* label = new QLabel(QStringLiteral("태그:"), this);
    m_field = new QLineEdit(this);
    m_field->setObjectName("edtTags");
    m_field->setPlaceholderText(Placeholder);
    label->setBuddy(m_field);
    row->addWidget(label);
    row->addWidget(m_field, 1);
    m_field->setEnabled(false);
    connect(&m_openNote, &TqbOpenNote::DocumentLoaded, this, &TqbTagBar::Show);
    // Not editingFinished: it comes once for a text, and a write that failed is tried again.
    connect(m_field, &QLineEdit::returnPressed, this, &TqbTagBar::Apply);
    m_field->installEventFilter(this);
}

bool TqbTagBar::eventFilter(QObject* watched, QEvent* event) {
    // Left for the page, the tree or another program; a message of the write's own takes the
    // focus too, and is no leaving.
    if (watched == m_field && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        Apply();
    return QWidget::eventFilter(watched, event);
}

void TqbTagBar::Show(const QString& path) {
    // What the user is writing here stays until it is applied, over its own note only.
    if (m_field->isModified() && !path.isEmpty() && path == m_path)
        return;
    m_path = path;
    m_tags.clear();
    if (!path.isEmpty()) {
        try {
            m_tags = qbNoteTags::Read(qbText::ReadFileBytes(path));
        } catch (const EqbError&) {
            // The note's load reports an unreadable file.
        }
    }
    m_field->setEnabled(!path.isEmpty());
    m_field->setText(qbNoteTags::Join(m_tags));
    m_field->setModified(false);
}

void TqbTagBar::Apply() {
    if (!m_field->isModified())
        return;
    const QStringList tags = qbNoteTags::Split(m_field->text());
    // The note read again takes the focus, which finishes this edit a second time.
    m_field->setModified(false);
    if (tags != m_tags && !m_openNote.EditFile([&tags](const QByteArray& page) {
            return qbNoteTags::Write(page, tags);
        })) {
        m_field->setModified(true); // kept as written, to try again
        return;
    }
    Show(m_openNote.Path());
}
