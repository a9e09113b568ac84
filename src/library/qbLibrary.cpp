#include "library/qbLibrary.h"

#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbPictureCarrier.h"
#include "library/qbTemplateFiller.h"
#include "library/qbTreeRules.h"
#include "platform/qbError.h"
#include "platform/qbFileStamp.h"
#include "platform/qbLeftovers.h"
#include "platform/qbShellMove.h"
#include "platform/qbTextFile.h"
#include "platform/qbTrash.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace {

// The lines of bytes, each ended with CR LF (the last one too); the bytes themselves unchanged.
QByteArray WithCrLf(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
                ++i;
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    if (!out.isEmpty() && !out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

} // namespace

TqbLibrary::TqbLibrary(IqbLibraryAsker& asker, QObject* parent) : QObject(parent), m_asker(asker) {
    // A folder put back from a copy holds the same names under new identities.
    connect(&m_presence, &TqbRootPresence::Back, this, [this] { m_store.SetRoot(m_root, NoteExt); });
}

void TqbLibrary::SetRoot(const QString& dir) {
    m_root = StripTrailingDelim(dir);
    m_versions.SetRoot(m_root);
    m_store.SetRoot(m_root, NoteExt);
    m_presence.SetRoot(m_root);
}

TqbFolderListing TqbLibrary::List(const QString& dir) {
    // A crash of an earlier run may have left its temporaries here; they must not pile up.
    qbLeftovers::RemoveInFolder(dir);
    // Compared with what was remembered of it once the listing shows, before the watcher's
    // first report.
    QMetaObject::invokeMethod(
        this,
        [this, folder = StripTrailingDelim(dir)] { FollowOutsideMoves({folder}, {}); },
        Qt::QueuedConnection);
    return ListFolder(dir, NoteExt, m_root);
}

QString TqbLibrary::FindById(const QByteArray& id, bool folder, const QStringList& dirs,
                             int searchLimit) const {
    if (id.isEmpty())
        return {};
    const QDir::Filters kind = (folder ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot;
    const auto itemPath = [folder](const QString& path) { return folder ? path + u'/' : path; };
    for (const QString& dir : dirs) {
        QDirIterator it(dir, kind);
        while (it.hasNext())
            if (const QString path = it.next(); TqbFileStamp::FileId(path) == id)
                return itemPath(path);
    }
    if (searchLimit <= 0 || m_root.isEmpty())
        return {};
    // Folders are walked, not followed through links: a link out of the library leads nowhere.
    QDirIterator it(m_root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    for (int seen = 0; seen < searchLimit && it.hasNext(); ++seen) {
        const QString path = it.next();
        if (it.fileInfo().isDir() == folder && TqbFileStamp::FileId(path) == id)
            return itemPath(path);
    }
    return {};
}

bool TqbLibrary::CreateFolder(const QString& dir, const QStringList& header) {
    if (!QDir().mkdir(dir)) {
        m_asker.ShowMessage(QStringLiteral("폴더를 만들 수 없습니다.\n%1").arg(dir));
        return false;
    }
    try {
        qbText::WriteLines(dir + u'/' + TqbNoteInfo::FolderDescriptionName, header);
    } catch (const EqbError& error) {
        // Half made, it would sit on disk where no view shows it.
        QDir().rmdir(dir);
        m_asker.ShowMessage(error.Message());
        return false;
    }
    m_store.Added(dir + u'/');
    emit Added(dir + u'/');
    return true;
}

bool TqbLibrary::CreateNote(const QString& notePath, const QString& templateFile,
                            const QStringList& header) {
    try {
        if (templateFile.isEmpty())
            qbText::WriteLines(notePath, header);
        else
            qbText::WriteFileBytes(
                notePath, WithCrLf(TqbTemplateFiller(FileNameNoExt(notePath),
                                                     QDateTime::currentDateTime())
                                       .FillBytes(qbText::ReadFileBytes(templateFile))));
    } catch (const EqbError& error) {
        m_asker.ShowMessage(error.Message());
        return false;
    }
    m_store.Added(notePath);
    emit Added(notePath);
    return true;
}

bool TqbLibrary::Rename(const QString& oldItemPath, const QString& newItemPath,
                        const QByteArray& rawName) {
    if (oldItemPath == newItemPath && rawName.isEmpty())
        return true;
    const QString oldPath = StripTrailingDelim(oldItemPath);
    // A name still in CP949 bytes is renamed from those bytes.
    const QByteArray from = rawName.isEmpty()
                                ? QFile::encodeName(oldPath)
                                : QFile::encodeName(QFileInfo(oldPath).path() + u'/') + rawName;
    if (!qbShellMove::Rename(from, QFile::encodeName(StripTrailingDelim(newItemPath)))) {
        m_asker.ShowMessage(RenameFailedMessage);
        return false;
    }
    FollowMove(oldItemPath, newItemPath);
    return true;
}

bool TqbLibrary::Move(const QString& itemPath, const QString& targetDir) {
    const QString source = StripTrailingDelim(itemPath);
    const QString newItemPath =
        targetDir + u'/' + QFileInfo(source).fileName() + (itemPath.endsWith(u'/') ? "/" : "");
    const bool replaces = QFileInfo::exists(StripTrailingDelim(newItemPath));
    QString error;
    const auto result = qbShellMove::Move(
        source, targetDir,
        [this](const QString& existing) {
            return m_asker.Confirm(ReplaceQuestion.arg(QDir::toNativeSeparators(existing)), true);
        },
        &error);
    if (result == qbShellMove::TResult::Failed)
        m_asker.ShowMessage(error);
    if (result != qbShellMove::TResult::Moved)
        return false;
    if (replaces) {
        m_store.Removed(newItemPath);
        emit Removed(newItemPath);
    }
    FollowMove(itemPath, newItemPath);
    return true;
}

bool TqbLibrary::Trash(const QString& itemPath) {
    if (itemPath.endsWith(u'/')) {
        TqbPictureCarrier carrier;
        carrier.BeforeRewrite = KeepVersionHook();
        carrier.KeepForOthers(m_root, StripTrailingDelim(itemPath));
        Report(carrier.Rewritten(), carrier.Failures());
    }
    QString error;
    if (!qbTrash::MoveToTrash(StripTrailingDelim(itemPath), &error)) {
        m_asker.ShowMessage(error);
        return false;
    }
    if (!m_versions.Trash(itemPath, &error))
        m_asker.ShowMessage(error);
    m_store.Removed(itemPath);
    emit Removed(itemPath);
    return true;
}

bool TqbLibrary::AdoptRawName(const QString& dirPrefix, const QByteArray& rawName,
                              const QString& name) {
    if (!m_asker.Confirm(RawNameQuestion.arg(name)))
        return false;
    const QByteArray dir = QFile::encodeName(dirPrefix);
    QString error;
    if (!qbShellMove::Rename(dir + rawName, dir + QFile::encodeName(name), &error)) {
        m_asker.ShowMessage(error);
        return false;
    }
    return true;
}

void TqbLibrary::AnnounceMoved(const QString& oldItemPath, const QString& newItemPath) {
    m_store.Moved(oldItemPath, newItemPath);
    m_versions.Follow(oldItemPath, newItemPath);
    emit Moved(oldItemPath, newItemPath);
    if (!m_linkKeeper)
        return;
    m_announcedMoves.append({oldItemPath, newItemPath});
    if (m_announcedMoves.size() == 1)
        QMetaObject::invokeMethod(this, &TqbLibrary::KeepAnnouncedLinks, Qt::QueuedConnection);
}

QList<TqbItemMove> TqbLibrary::FollowOutsideMoves(const QStringList& dirs,
                                                  const QString& openPath) {
    TqbLibraryStore::TReconciled found = m_store.Reconcile(dirs);
    for (const TqbLibraryStore::TLost& lost : std::as_const(found.Lost)) {
        // Only the open document, or the other half of a swap, is worth a look through the
        // library.
        if (!lost.Displaced &&
            (openPath.isEmpty() || !qbTreeRules::Within(openPath, lost.ItemPath)))
            continue;
        const QString now =
            FindById(lost.Id, lost.ItemPath.endsWith(u'/'), {}, OutsideMoveSearchLimit);
        if (now.isEmpty())
            continue;
        m_store.Found(lost.Id, now);
        found.Moves.append({lost.ItemPath, now});
    }
    FollowMoves(found.Moves);
    return found.Moves;
}

void TqbLibrary::FollowMoves(const QList<TqbItemMove>& moves) {
    if (moves.isEmpty())
        return;
    const QList<TqbItemMove> steps = qbMoveSteps(moves);
    // The versions first: a picture rewrite keeps the note's text as a version in its new place.
    for (const TqbItemMove& step : steps)
        m_versions.Follow(step.From, step.To);
    QStringList rewritten;
    QStringList failures;
    for (const TqbItemMove& move : moves) {
        TqbPictureCarrier carrier;
        carrier.BeforeRewrite = KeepVersionHook();
        if (move.From.endsWith(u'/'))
            carrier.FolderMoved(StripTrailingDelim(move.From), StripTrailingDelim(move.To));
        else
            carrier.NoteMoved(move.From, move.To);
        carrier.OthersFollow(m_root);
        rewritten << carrier.Rewritten();
        failures << carrier.Failures();
    }
    rewritten.removeDuplicates();
    for (const TqbItemMove& step : steps)
        emit Moved(step.From, step.To);
    Report(rewritten, failures);
    if (!m_linkKeeper)
        return;
    const bool queued = !m_announcedMoves.isEmpty();
    m_announcedMoves << steps;
    if (!queued)
        QMetaObject::invokeMethod(this, &TqbLibrary::KeepAnnouncedLinks, Qt::QueuedConnection);
}

void TqbLibrary::KeepAnnouncedLinks() {
    const QList<TqbItemMove> moves = std::exchange(m_announcedMoves, {});
    TqbKeptLinks kept;
    for (qsizetype i = 0; i < moves.size(); ++i) {
        const TqbKeptLinks one = KeepLinks(moves[i], moves.mid(i + 1));
        kept.Rewritten << one.Rewritten;
        kept.Failures << one.Failures;
    }
    kept.Rewritten.removeDuplicates();
    ReportLinks(kept);
}

void TqbLibrary::FollowMove(const QString& oldItemPath, const QString& newItemPath) {
    m_store.Moved(oldItemPath, newItemPath);
    m_versions.Follow(oldItemPath, newItemPath);
    TqbPictureCarrier carrier;
    carrier.BeforeRewrite = KeepVersionHook();
    if (oldItemPath.endsWith(u'/'))
        carrier.FolderMoved(StripTrailingDelim(oldItemPath), StripTrailingDelim(newItemPath));
    else
        carrier.NoteMoved(oldItemPath, newItemPath);
    carrier.OthersFollow(m_root);
    // The open note follows first: the keeper may save it, and only to its new place.
    emit Moved(oldItemPath, newItemPath);
    Report(carrier.Rewritten(), carrier.Failures());
    ReportLinks(KeepLinks({oldItemPath, newItemPath}));
}

TqbKeptLinks TqbLibrary::KeepLinks(const TqbItemMove& move, const QList<TqbItemMove>& later) {
    return m_linkKeeper ? m_linkKeeper->Follow(m_root, move, KeepVersionHook(), later)
                        : TqbKeptLinks{};
}

void TqbLibrary::ReportLinks(const TqbKeptLinks& kept) {
    if (!kept.Rewritten.isEmpty()) {
        m_store.Written(kept.Rewritten);
        emit Changed(kept.Rewritten);
        emit LinksFollowed(kept.Rewritten);
    }
    if (!kept.Failures.isEmpty())
        m_asker.ShowMessage(LinksNotKeptMessage + kept.Failures.join(u'\n'));
}

std::function<void(const QString&)> TqbLibrary::KeepVersionHook() {
    return [this](const QString& notePath) {
        // A version that cannot be kept never stops the rewrite; the note stays whole either way.
        try {
            m_versions.KeepCurrent(notePath);
        } catch (const EqbError&) {
        }
    };
}

void TqbLibrary::Report(const QStringList& rewritten, const QStringList& failures) {
    // A view holding an old text would write the old addresses back.
    if (!rewritten.isEmpty()) {
        m_store.Written(rewritten);
        emit Changed(rewritten);
    }
    if (!failures.isEmpty())
        m_asker.ShowMessage(PicturesNotKeptMessage + failures.join(u'\n'));
}
