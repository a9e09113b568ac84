#include "library/qbWaitCursorAsker.h"

#include <QApplication>
#include <QCursor>
#include <optional>

namespace {

// Takes the cursor put over the program down while it lives, and puts it back.
class TCursorAside {
public:
    TCursorAside() {
        if (const QCursor* cursor = QApplication::overrideCursor()) {
            m_cursor = *cursor;
            QApplication::restoreOverrideCursor();
        }
    }
    ~TCursorAside() {
        if (m_cursor)
            QApplication::setOverrideCursor(*m_cursor);
    }
    TCursorAside(const TCursorAside&) = delete;
    TCursorAside& operator=(const TCursorAside&) = delete;

private:
    std::optional<QCursor> m_cursor;
};

} // namespace

void TqbWaitCursorAsker::ShowMessage(const QString& text) {
    const TCursorAside aside;
    m_asker.ShowMessage(text);
}

bool TqbWaitCursorAsker::Confirm(const QString& text, bool defaultNo) {
    const TCursorAside aside;
    return m_asker.Confirm(text, defaultNo);
}
