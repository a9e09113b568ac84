#include "app/qbQuickCapture.h"

#include "library/qbInbox.h"
#include "library/qbTree.h"
#include "note/qbOpenNote.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

const QString TqbQuickCapture::FailedMessage =
    QStringLiteral("받은 메모에 넣지 못했습니다. 넣으려던 글은 다음과 같습니다:\n\n%1");

TqbQuickCapture::TqbQuickCapture(TqbLibrary& library, TqbTree& tree, TqbOpenNote& openNote,
                                 TShowMessage showMessage, QObject* parent)
    : QObject(parent), m_library(library), m_tree(tree), m_openNote(openNote), m_showMessage(std::move(showMessage)) {}

QString TqbQuickCapture::InboxPath() const {
    return qbInbox::PathOf(m_tree.RootDir(), m_tree.NoteExt);
}

bool TqbQuickCapture::Capture(const QString& text) {
    if (text.trimmed().isEmpty())
        return true;
    const QString path = InboxPath();
    const QDateTime when = QDateTime::currentDateTime();
    const auto append = [&](const QByteArray& page) { return qbInbox::Appended(page, text, when); };
    bool done = false;
    QString reason;
    if (!QFileInfo::exists(path) &&
        !m_library.CreateNote(path, QString(), m_openNote.TreeDefaultHeader())) {
        // The library has told why already.
    } else if (QDir::cleanPath(m_openNote.Path()) == QDir::cleanPath(path)) {
        done = m_openNote.EditFile(append);
    } else {
        try {
            qbAtomicWrite::ReplaceFile(path, append(qbText::ReadFileBytes(path)));
            done = true;
        } catch (const EqbError& error) {
            reason = error.Message();
        }
    }
    if (!done)
        m_showMessage(FailedMessage.arg(text), reason);
    return done;
}
