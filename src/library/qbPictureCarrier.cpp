#include "library/qbPictureCarrier.h"

#include "library/qbFolderListing.h"
#include "library/qbNoteInfo.h"
#include "library/qbPictureLinks.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string_view>

namespace {

bool IsInside(const QString& path, const QString& dir) {
    return path.startsWith(dir + u'/');
}

QString Join(const QString& dir, const QString& rel) {
    return QDir::cleanPath(dir + u'/' + rel);
}

bool IsNotePageName(const QString& name) {
    return !name.startsWith(u'.') && (IsNoteFileName(name, QStringLiteral(".htm")) ||
                                      name == TqbNoteInfo::FolderDescriptionName);
}

// Whether the page may show a picture at all ("src", "background" or "url(" in any case):
// cheaper than reading it as text. A second byte of CP949 may look like a letter here, which
// only costs a closer look.
bool MayShowPictures(const QByteArray& bytes) {
    const auto lower = [](char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    const qsizetype n = bytes.size();
    const auto at = [&](qsizetype i, std::string_view word) {
        if (i + qsizetype(word.size()) > n)
            return false;
        for (size_t k = 1; k < word.size(); ++k)
            if (lower(bytes[i + qsizetype(k)]) != word[k])
                return false;
        return true;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char c = lower(bytes[i]);
        if ((c == 's' && at(i, "src")) || (c == 'b' && at(i, "background")) ||
            (c == 'u' && at(i, "url(")))
            return true;
    }
    return false;
}

bool SameBytes(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    return fa.readAll() == fb.readAll();
}

// "x.png" beside taken ones becomes "x_1.png", "x_2.png", ...
QString FreeName(const QString& path) {
    const QFileInfo info(path);
    const QString dir = info.path() + u'/';
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate = dir + base + u'_' + QString::number(n) + suffix;
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

} // namespace

QString TqbPictureCarrier::Current(const QString& oldPath) const {
    if (oldPath == m_movedFrom)
        return m_movedTo;
    if (IsInside(oldPath, m_movedFrom))
        return m_movedTo + oldPath.mid(m_movedFrom.size());
    return oldPath;
}

bool TqbPictureCarrier::LinkedInOldFolder(const QString& oldTarget) {
    if (!m_oldFolderPictures) {
        m_oldFolderPictures.emplace();
        const QStringList names = QDir(m_oldFolder).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : names) {
            if (!IsNotePageName(name))
                continue;
            try {
                const QByteArray bytes = qbText::ReadFileBytes(m_oldFolder + u'/' + name);
                if (!MayShowPictures(bytes))
                    continue;
                const TqbPageText page = qbPageCodec::Decode(bytes);
                for (const TqbPictureLink& link : qbPictureLinks::Find(page.Text))
                    m_oldFolderPictures->insert(Join(m_oldFolder, link.File));
            } catch (const EqbError&) {
                // A note we cannot read may show anything: keep every picture where it is.
                m_oldFolderPictures->insert(QString());
            }
        }
    }
    return m_oldFolderPictures->contains(oldTarget) || m_oldFolderPictures->contains(QString());
}

QString TqbPictureCarrier::Place(const QString& oldTarget, const QString& rel,
                                 const QString& oldDir, const QString& newDir, bool mayMove) {
    const QString current = Current(oldTarget);
    const QString wanted = Join(newDir, rel);
    if (current == wanted || !QFileInfo(current).isFile())
        return current; // moved along, or no picture to keep (the address was broken before)

    // The note's own picture goes to the same place under its new folder.
    if (IsInside(oldTarget, oldDir) && IsInside(wanted, newDir)) {
        QString target = wanted;
        if (QFileInfo::exists(target) && SameBytes(current, target))
            return target;
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            target = FreeName(target);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(current, target)) {
            m_failures << QDir::toNativeSeparators(current);
            return current;
        }
        if (mayMove && !LinkedInOldFolder(oldTarget) && QFile::remove(current))
            m_picturesMoved = true;
        return target;
    }
    // Shared with others, or its place would be outside the note's folder: shown from where it is.
    return current;
}

void TqbPictureCarrier::CarryNote(const QString& notePath, const QString& text,
                                  const QByteArray& charset, bool hadDecodingErrors,
                                  const QString& oldDir, const QString& newDir, bool mayMove) {
    QList<std::pair<TqbPictureLink, QString>> changes;
    for (const TqbPictureLink& link : qbPictureLinks::Find(text)) {
        const QString oldTarget = Join(oldDir, link.File);
        auto placed = m_placed.constFind(oldTarget);
        if (placed == m_placed.cend())
            placed =
                m_placed.insert(oldTarget, Place(oldTarget, link.File, oldDir, newDir, mayMove));
        if (*placed == Join(newDir, link.File) || !QFileInfo(*placed).isFile())
            continue;
        changes.append({link, QDir(newDir).relativeFilePath(*placed)});
    }
    Rewrite(notePath, text, charset, hadDecodingErrors, changes);
}

void TqbPictureCarrier::Rewrite(const QString& notePath, const QString& text,
                                const QByteArray& charset, bool hadDecodingErrors,
                                QList<std::pair<TqbPictureLink, QString>> changes) {
    if (changes.isEmpty())
        return;
    const QString noteDir = QFileInfo(notePath).path();
    QStringList pictures;
    for (const auto& change : std::as_const(changes))
        pictures << QDir::toNativeSeparators(Join(noteDir, change.second));
    // Bytes that were not valid in the page's charset would not survive a rewrite.
    if (hadDecodingErrors) {
        m_failures << pictures;
        return;
    }
    QString changed = text;
    std::sort(changes.begin(), changes.end(),
              [](const auto& a, const auto& b) { return a.first.Pos > b.first.Pos; });
    for (const auto& [link, file] : std::as_const(changes))
        changed.replace(link.Pos, link.Len, qbPictureLinks::AddressOfFile(file));
    try {
        if (BeforeRewrite)
            BeforeRewrite(notePath);
        qbPageCodec::Write(notePath, changed, charset);
        m_rewritten << notePath;
    } catch (const EqbError&) {
        m_failures << pictures;
    }
}

void TqbPictureCarrier::RewriteOthers(
    const QString& libraryRoot, const QString& skip,
    const std::function<QString(const QString& noteDir, const QString& target)>& newFile) {
    QDirIterator it(libraryRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString notePath = QDir::cleanPath(info.filePath());
        // Under a hidden folder (the notes' kept versions) lie no notes of the library.
        if (!IsNotePageName(info.fileName()) || !info.isFile() || info.isSymLink() ||
            notePath == skip || IsInside(notePath, skip) ||
            (u'/' + QDir(libraryRoot).relativeFilePath(notePath)).contains(QStringLiteral("/.")))
            continue;
        QByteArray bytes;
        try {
            bytes = qbText::ReadFileBytes(notePath);
        } catch (const EqbError&) {
            continue; // a note nobody can read shows no picture
        }
        if (!MayShowPictures(bytes))
            continue;
        const TqbPageText page = qbPageCodec::Decode(bytes);
        const QString noteDir = info.path();
        QList<std::pair<TqbPictureLink, QString>> changes;
        for (const TqbPictureLink& link : qbPictureLinks::Find(page.Text)) {
            const QString file = newFile(noteDir, Join(noteDir, link.File));
            if (!file.isEmpty())
                changes.append({link, file});
        }
        Rewrite(notePath, page.Text, page.Charset, page.HadDecodingErrors, changes);
    }
}

void TqbPictureCarrier::OthersFollow(const QString& libraryRoot) {
    if (!m_picturesMoved)
        return;
    RewriteOthers(libraryRoot, m_movedTo, [this](const QString& noteDir, const QString& target) {
        if (QFileInfo::exists(target))
            return QString(); // still there (a copy stayed for the old folder's notes)
        const auto placed = m_placed.constFind(target);
        const QString now = placed != m_placed.cend() ? *placed : Current(target);
        if (now == target || !QFileInfo(now).isFile())
            return QString();
        return QDir(noteDir).relativeFilePath(now);
    });
}

void TqbPictureCarrier::KeepForOthers(const QString& libraryRoot, const QString& dir) {
    const QString gone = QDir::cleanPath(dir);
    QHash<QString, QString> copies; // picture in the folder, per note folder -> its copy
    RewriteOthers(libraryRoot, gone, [&](const QString& noteDir, const QString& target) {
        if (!IsInside(target, gone) || !QFileInfo(target).isFile())
            return QString();
        const QString key = noteDir + u'\n' + target;
        if (!copies.contains(key)) {
            QString copy = Join(noteDir, QStringLiteral("__images/") + QFileInfo(target).fileName());
            if (QFileInfo::exists(copy) && !SameBytes(target, copy))
                copy = FreeName(copy);
            const bool ok = QFileInfo::exists(copy) ||
                            (QDir().mkpath(QFileInfo(copy).path()) && QFile::copy(target, copy));
            if (!ok)
                m_failures << QDir::toNativeSeparators(target);
            copies.insert(key, ok ? copy : QString());
        }
        const QString copy = copies.value(key);
        return copy.isEmpty() ? QString() : QDir(noteDir).relativeFilePath(copy);
    });
}

void TqbPictureCarrier::NoteMoved(const QString& oldPath, const QString& newPath) {
    m_movedFrom = QDir::cleanPath(oldPath);
    m_movedTo = QDir::cleanPath(newPath);
    const QString oldDir = QFileInfo(m_movedFrom).path();
    const QString newDir = QFileInfo(m_movedTo).path();
    if (oldDir == newDir)
        return; // a new name in the same folder: every address still names the same file
    if (m_oldFolder != oldDir) {
        m_oldFolder = oldDir;
        m_oldFolderPictures.reset();
    }
    try {
        const TqbPageText page = qbPageCodec::Read(m_movedTo);
        CarryNote(m_movedTo, page.Text, page.Charset, page.HadDecodingErrors, oldDir, newDir, true);
    } catch (const EqbError& error) {
        m_failures << error.Message();
    }
}

void TqbPictureCarrier::FolderMoved(const QString& oldDir, const QString& newDir) {
    m_movedFrom = QDir::cleanPath(oldDir);
    m_movedTo = QDir::cleanPath(newDir);
    m_picturesMoved = true; // whatever the folder held
    QDirIterator it(m_movedTo, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (!IsNotePageName(info.fileName()) || !info.isFile() || info.isSymLink())
            continue;
        const QString noteDir = info.path();
        // Addresses without ".." stay inside the folder, which moved as a whole.
        QByteArray bytes;
        try {
            bytes = qbText::ReadFileBytes(info.filePath());
        } catch (const EqbError& error) {
            m_failures << error.Message();
            continue;
        }
        if (!bytes.contains(".."))
            continue;
        const TqbPageText page = qbPageCodec::Decode(bytes);
        const QString oldNoteDir = m_movedFrom + noteDir.mid(m_movedTo.size());
        CarryNote(info.filePath(), page.Text, page.Charset, page.HadDecodingErrors, oldNoteDir,
                  noteDir, false);
    }
}
