#include "app/qbHistoryCommands.h"

#include "library/qbTree.h"
#include "library/qbTreeRules.h"
#include "note/qbOpenNote.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

const QString TqbHistoryCommands::NoVersionsMessage =
    QStringLiteral("이 노트에는 이전 버전이 없습니다.");
const QString TqbHistoryCommands::RestoreFailedMessage =
    QStringLiteral("되살리지 못했습니다. 노트는 그대로입니다.");
const QString TqbHistoryCommands::JournalQuestion =
    QStringLiteral("지난번에 프로그램이 저장하지 못하고 끝났습니다. 저장하지 않은 채 입력한 "
                   "내용이 남아 있습니다.\n%1\n\n그 내용으로 노트를 되살리시겠습니까?");

TqbHistoryCommands::TqbHistoryCommands(TqbOpenNote& openNote, TqbLibrary& library, TqbTree& tree,
                                       const QString& journalDir, THooks hooks, QWidget* parent)
    : QObject(parent), m_openNote(openNote), m_library(library), m_tree(tree),
      m_journal(journalDir), m_hooks(std::move(hooks)), m_parent(parent) {
    m_openNote.SetJournal(&m_journal);
}

QList<TqbVersionRow> TqbHistoryCommands::Rows(const QList<TqbNoteVersion>& versions) {
    QList<TqbVersionRow> rows;
    rows.reserve(versions.size());
    for (const TqbNoteVersion& version : versions)
        rows.append({QDateTime::fromMSecsSinceEpoch(version.TimeMs)
                         .toLocalTime()
                         .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     version.Bytes, version.Path});
    return rows;
}

void TqbHistoryCommands::ShowVersions(const QString& itemPath) {
    const QString notePath = qbTreeRules::DocumentPath(itemPath);
    if (notePath.isEmpty())
        return;
    // The comparison and a restore weigh the note as the user sees it.
    if (notePath == qbTreeRules::DocumentPath(m_openNote.Path()) && !m_hooks.SaveCurrentNote())
        return;
    const QList<TqbNoteVersion> versions = m_library.Versions().List(notePath);
    if (versions.isEmpty()) {
        m_hooks.ShowMessage(NoVersionsMessage, QDir::toNativeSeparators(notePath));
        return;
    }
    TqbVersionsDialog dialog(QStringLiteral("이전 버전 - %1").arg(QFileInfo(notePath).fileName()),
                             notePath, Rows(versions), m_parent);
    if (dialog.exec() == QDialog::Accepted && !dialog.ChosenPath().isEmpty())
        Restore(notePath, dialog.ChosenPath());
}

bool TqbHistoryCommands::Restore(const QString& notePath, const QString& versionPath) {
    try {
        m_library.Versions().Restore(notePath, versionPath);
    } catch (const EqbError& error) {
        m_hooks.ShowMessage(RestoreFailedMessage, error.Message());
        return false;
    }
    // The editor must show what the file holds now, not write its old page back.
    if (notePath == qbTreeRules::DocumentPath(m_openNote.Path()))
        m_openNote.OpenCurrentNote();
    else
        m_hooks.OpenPage(notePath);
    return true;
}

void TqbHistoryCommands::OfferJournal() {
    const std::optional<TqbTypingJournal::TEntry> entry = m_journal.Read();
    if (!entry)
        return;
    for (;;) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("저장하지 않은 내용"),
                        JournalQuestion.arg(QDir::toNativeSeparators(entry->NotePath)),
                        QMessageBox::NoButton, m_parent);
        box.setObjectName("msgJournal");
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("되살리기"));
        box.addButton(QMessageBox::Open)->setText(QStringLiteral("보기"));
        box.addButton(QMessageBox::Discard)->setText(QStringLiteral("버리기"));
        box.setDefaultButton(QMessageBox::Yes);
        const int answer = box.exec();
        if (answer == QMessageBox::Discard) {
            m_journal.Drop();
            return;
        }
        if (answer == QMessageBox::Open) {
            TqbVersionsDialog dialog(
                QStringLiteral("저장하지 않은 내용 - %1").arg(QFileInfo(entry->NotePath).fileName()),
                entry->NotePath,
                {{QStringLiteral("저장하지 않은 내용"), entry->Bytes.size(), m_journal.PagePath()}},
                m_parent);
            if (dialog.exec() != QDialog::Accepted)
                continue;
        } else if (answer != QMessageBox::Yes) {
            return; // asked again at the next start
        }
        if (!QFileInfo(entry->NotePath).dir().exists()) {
            m_hooks.ShowMessage(RestoreFailedMessage,
                                QStringLiteral("폴더가 없습니다: %1")
                                    .arg(QDir::toNativeSeparators(entry->NotePath)));
            return;
        }
        QString shown;
        try {
            shown = RestoreJournal(*entry);
        } catch (const EqbError& error) {
            m_hooks.ShowMessage(RestoreFailedMessage, error.Message());
            return;
        }
        m_journal.Drop();
        if (shown == qbTreeRules::DocumentPath(m_openNote.Path()))
            m_openNote.OpenCurrentNote();
        else
            m_hooks.OpenPage(shown);
        return;
    }
}

QString TqbHistoryCommands::RestoreJournal(const TqbTypingJournal::TEntry& entry) {
    TqbNoteVersions& versions = m_library.Versions();
    const auto choice = TqbTypingJournal::NoteChangedSince(entry) && m_hooks.AskOutsideChange
                            ? m_hooks.AskOutsideChange(entry.NotePath)
                            : IqbOpenNoteHost::TOutsideChoice::KeepMine;
    switch (choice) {
    case IqbOpenNoteHost::TOutsideChoice::KeepMine:
        TqbTypingJournal::Restore(entry, versions);
        return entry.NotePath;
    case IqbOpenNoteHost::TOutsideChoice::TakeTheirs:
        // The note stays as the other program left it; the typing is not thrown away.
        versions.Keep(entry.NotePath, entry.Bytes);
        return entry.NotePath;
    case IqbOpenNoteHost::TOutsideChoice::KeepBoth:
        break;
    }
    const QString copy = qbTreeRules::FreeCopyName(entry.NotePath, m_tree.NoteExt);
    qbAtomicWrite::ReplaceFile(copy, entry.Bytes);
    m_tree.ShowWrittenNote(copy);
    return copy;
}
