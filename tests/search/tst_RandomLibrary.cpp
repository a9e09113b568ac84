// Our own operations on the library and another program's, interleaved at random and seeded
// (QBNIVORA_RANDOM_SEED replays a run): after each step the disk is compared with a model of it.
// Another program's changes reach the library as in the running program: through the watcher for
// the folders it watches (the root and the top-level folders), and by a listing for the folders
// never opened.
#include "common/qbFakeAsker.h"
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "library/qbLibraryWatcher.h"
#include "platform/qbFileStamp.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"
#include "search/qbLinkFollower.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cstdio>

namespace {

// A note of the model: its page names its mark, links to another note and shows its picture
// ("__images/p<mark>.png" beside it, holding "p<mark>"); a copy has its original's mark.
struct TNote {
    QString Path; // relative to the root
    int Mark = 0;
    int Target = -1; // the note its link leads to
    bool Alive = true;
    bool Kept = false; // a version "v<key>" was kept for it
};

QString DirOf(const QString& rel) {
    const qsizetype slash = rel.lastIndexOf(u'/');
    return slash < 0 ? QString() : rel.left(slash);
}

QString Join(const QString& dir, const QString& name) {
    return dir.isEmpty() ? name : dir + u'/' + name;
}

bool Under(const QString& path, const QString& dir) {
    return path.startsWith(dir + u'/');
}

} // namespace

class tst_RandomLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_root;
    QList<TNote> m_notes;
    QStringList m_folders{""}; // relative; "" is the root
    int m_names = 0;
    QRandomGenerator m_random;

    QString Abs(const QString& rel) const { return rel.isEmpty() ? m_root : m_root + u'/' + rel; }
    QString FreeName(const QString& prefix, const QString& ext = {}) {
        return prefix + QString::number(++m_names) + ext;
    }
    int Pick(int n) { return int(m_random.bounded(n)); }
    QList<int> AliveNotes() const {
        QList<int> alive;
        for (int i = 0; i < m_notes.size(); ++i)
            if (m_notes[i].Alive)
                alive << i;
        return alive;
    }
    int AnyNote() {
        const QList<int> alive = AliveNotes();
        return alive.isEmpty() ? -1 : alive[Pick(int(alive.size()))];
    }
    QByteArray Page(int key) const {
        const TNote& note = m_notes[key];
        const QString href =
            QDir(Abs(DirOf(note.Path))).relativeFilePath(Abs(m_notes[note.Target].Path));
        return QStringLiteral("<p>%1</p><a href=\"%2\">x</a><img src=\"__images/p%1.png\">")
            .arg(note.Mark)
            .arg(href)
            .toUtf8();
    }
    // A note's picture beside it, as the editor puts one in.
    void AddPicture(int key) {
        const QString png = Abs(Join(DirOf(m_notes[key].Path), "__images/p")) +
                            QString::number(m_notes[key].Mark) + ".png";
        if (!QFileInfo::exists(png))
            WriteBytes(png, "p" + QByteArray::number(m_notes[key].Mark));
    }
    int NewNote(const QString& dir) {
        const int key = int(m_notes.size());
        const int target = AnyNote();
        m_notes.append({Join(dir, FreeName(QStringLiteral("노트"), ".htm")), key,
                        target < 0 ? key : target});
        AddPicture(key);
        return key;
    }
    // Every note and folder at or under the item follows it to its new name.
    void Moved(const QString& from, const QString& to) {
        for (TNote& note : m_notes)
            if (note.Alive && (note.Path == from || Under(note.Path, from)))
                note.Path = to + note.Path.mid(from.size());
        for (QString& folder : m_folders)
            if (folder == from || Under(folder, from))
                folder = to + folder.mid(from.size());
    }
    void Removed(const QString& item) {
        for (TNote& note : m_notes)
            if (note.Path == item || Under(note.Path, item))
                note.Alive = false;
        m_folders.removeIf([&](const QString& f) { return f == item || Under(f, item); });
    }
    QStringList TopFolders() const {
        QStringList top{m_root};
        for (const QString& folder : m_folders)
            if (!folder.isEmpty() && !folder.contains(u'/'))
                top << Abs(folder);
        return top;
    }

    // What is on disk against the model; an empty answer when they agree.
    QString Mismatch(TqbLibrary& library) const {
        QStringList onDisk;
        QDirIterator it(m_root, {"*.htm"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString rel = it.next().mid(m_root.size() + 1);
            if (!rel.startsWith(TqbNoteVersions::FolderName + u'/') && !rel.contains("__images/"))
                onDisk << rel;
        }
        onDisk.sort();
        QStringList expected;
        for (const TNote& note : m_notes)
            if (note.Alive)
                expected << note.Path;
        expected.sort();
        if (onDisk != expected)
            return "notes on disk: " + onDisk.join(u' ') + "\nexpected: " + expected.join(u' ');
        static const QRegularExpression page(
            "^<p>(\\d+)</p><a href=\"([^\"]*)\">x</a><img src=\"([^\"]*)\">");
        for (int key = 0; key < m_notes.size(); ++key) {
            const TNote& note = m_notes[key];
            if (!note.Alive)
                continue;
            const QString text = qbPageCodec::Decode(ReadBytes(Abs(note.Path))).Text;
            const QRegularExpressionMatch match = page.match(text);
            if (!match.hasMatch() || match.captured(1).toInt() != note.Mark)
                return note.Path + " holds " + text.left(200);
            const QDir dir(Abs(DirOf(note.Path)));
            const QString link = QUrl::fromPercentEncoding(match.captured(2).toUtf8());
            const TNote& target = m_notes[note.Target];
            if (target.Alive && QDir::cleanPath(dir.filePath(link)) != Abs(target.Path))
                return note.Path + " links to " + link + ", not to " + target.Path;
            const QString picture = QUrl::fromPercentEncoding(match.captured(3).toUtf8());
            if (ReadBytes(dir.filePath(picture)) != "p" + QByteArray::number(note.Mark))
                return note.Path + " shows " + picture + ", which is not its picture";
            if (library.Store().Id(Abs(note.Path)) != TqbFileStamp::FileId(Abs(note.Path)))
                return note.Path + ": the library knows another identity";
            if (note.Kept) {
                bool found = false;
                for (const TqbNoteVersion& version : library.Versions().List(Abs(note.Path)))
                    found = found || ReadBytes(version.Path) == "v" + QByteArray::number(key);
                if (!found)
                    return note.Path + " lost its kept version";
            }
        }
        for (const QString& folder : m_folders)
            if (!folder.isEmpty() &&
                library.Store().Id(Abs(folder) + u'/') != TqbFileStamp::FileId(Abs(folder)))
                return folder + ": the library knows another identity";
        return {};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_temp.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_temp.filePath("xdg")));
    }

    // Create, rename, move, paste, delete, rewrite, replace, swap and copy, of notes and folders,
    // ours and another program's: no note lost, doubled or misnamed, every link and picture
    // leading where it led, every version with its note, and the library knowing each identity.
    void randomChangesKeepTheLibrary() {
        const quint32 seed = qEnvironmentVariableIsSet("QBNIVORA_RANDOM_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("QBNIVORA_RANDOM_SEED"))
                                 : 38;
        constexpr int Steps = 1000;
        m_random.seed(seed);
        m_root = m_temp.filePath("random");
        m_folders = {"", "가", "나", "나/다", "나/다/라"};
        for (const QString& folder : std::as_const(m_folders))
            QDir().mkpath(Abs(folder));
        for (int i = 0; i < 12; ++i)
            NewNote(m_folders[i % m_folders.size()]);
        for (int key = 0; key < m_notes.size(); ++key) {
            m_notes[key].Target = (key + 1) % int(m_notes.size());
            WriteBytes(Abs(m_notes[key].Path), Page(key));
        }

        TqbFakeAsker asker;
        TqbLinkFollower follower;
        TqbLibrary library(asker);
        library.SetRoot(m_root);
        library.SetLinkKeeper(&follower);
        for (int key = 0; key < m_notes.size(); key += 3) {
            library.Versions().Keep(Abs(m_notes[key].Path), "v" + QByteArray::number(key));
            m_notes[key].Kept = true;
        }
        TqbLibraryWatcher watcher;
        watcher.SetBatchMs(5);
        watcher.SetFolders(TopFolders());
        QSet<QString> reported;
        // The open note follows the library's moves, as the window's does.
        int openKey = -1;
        QString openPath;
        connect(&library, &TqbLibrary::Moved, this, [&](const QString& from, const QString& to) {
            if (openPath == from || (from.endsWith(u'/') && openPath.startsWith(from)))
                openPath = to + openPath.mid(from.size());
        });
        connect(&watcher, &TqbLibraryWatcher::Changed, &library, [&](const QStringList& dirs) {
            library.FollowOutsideMoves(dirs, openPath);
            reported.unite(QSet<QString>(dirs.begin(), dirs.end()));
        });
        QSignalSpy changed(&watcher, &TqbLibraryWatcher::Changed);
        QTRY_VERIFY(!library.Store().Learning());

        const auto settle = [&] {
            // Links are kept from the event loop once a batch is followed.
            for (int i = 0; i < 3; ++i)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        };
        const auto anyFolder = [&] { return m_folders[Pick(int(m_folders.size()))]; };
        // A note or a folder (not the root).
        const auto anyItem = [&]() -> QString {
            if (m_folders.size() > 1 && Pick(4) == 0)
                return m_folders[1 + Pick(int(m_folders.size()) - 1)];
            const int key = AnyNote();
            return key < 0 ? QString() : m_notes[key].Path;
        };
        const auto isFolder = [&](const QString& item) { return m_folders.contains(item); };
        // A folder the item may move into: not where it is, not inside itself.
        const auto targetFor = [&](const QString& item) -> std::optional<QString> {
            QStringList targets;
            for (const QString& folder : std::as_const(m_folders))
                if (folder != DirOf(item) && folder != item && !Under(folder, item))
                    targets << folder;
            if (targets.isEmpty())
                return std::nullopt;
            return targets[Pick(int(targets.size()))];
        };

        for (int step = 0; step < Steps;) {
            if (openKey < 0 || !m_notes[openKey].Alive) {
                openKey = AnyNote();
                openPath = Abs(m_notes[openKey].Path);
            }
            const int op = Pick(15);
            // Few enough notes that every step reads them all in good time.
            const bool mayAdd = AliveNotes().size() < 30;
            QString what;
            QStringList touched; // folders another program changed
            if (op == 0 && mayAdd) {
                const QString dir = anyFolder();
                const int key = NewNote(dir);
                what = "we create " + m_notes[key].Path;
                QVERIFY(library.CreateNote(Abs(m_notes[key].Path), {}, {QString::fromUtf8(Page(key))}));
            } else if (op == 1 && m_folders.size() < 9) {
                const QString dir = Join(anyFolder(), FreeName(QStringLiteral("폴더")));
                what = "we create " + dir + "/";
                QVERIFY(library.CreateFolder(Abs(dir), {"<p>folder</p>"}));
                m_folders << dir;
            } else if (op == 2 || op == 7) {
                const QString item = anyItem();
                if (item.isEmpty())
                    continue;
                const QString to = Join(DirOf(item), isFolder(item)
                                                         ? FreeName(QStringLiteral("폴더"))
                                                         : FreeName(QStringLiteral("노트"), ".htm"));
                what = (op == 2 ? "we rename " : "another renames ") + item + " to " + to;
                const QString slash = isFolder(item) ? "/" : "";
                if (op == 2)
                    QVERIFY(library.Rename(Abs(item) + slash, Abs(to) + slash));
                else {
                    QVERIFY(QDir().rename(Abs(item), Abs(to)));
                    touched << DirOf(item);
                }
                Moved(item, to);
            } else if (op == 3 || op == 8) {
                const QString item = anyItem();
                const std::optional<QString> target = item.isEmpty() ? std::nullopt : targetFor(item);
                if (!target)
                    continue;
                const QString to = Join(*target, item.mid(item.lastIndexOf(u'/') + 1));
                if (QFileInfo::exists(Abs(to)))
                    continue;
                what = (op == 3 ? "we cut and paste " : "another moves ") + item + " into " + *target;
                if (op == 3) {
                    QVERIFY(library.Move(Abs(item) + (isFolder(item) ? "/" : ""), Abs(*target)));
                } else {
                    QVERIFY(QDir().rename(Abs(item), Abs(to)));
                    touched << DirOf(item) << *target;
                }
                Moved(item, to);
            } else if (op == 4) {
                const QString item = anyItem();
                // Enough notes stay for every other operation.
                qsizetype staying = 0;
                for (const int key : AliveNotes())
                    staying += m_notes[key].Path != item && !Under(m_notes[key].Path, item);
                if (staying < 8)
                    continue;
                what = "we delete " + item;
                QVERIFY(library.Trash(Abs(item) + (isFolder(item) ? "/" : "")));
                Removed(item);
            } else if (op == 5 || op == 9 || op == 10) {
                const int key = AnyNote();
                const QString path = Abs(m_notes[key].Path);
                if (op == 5) { // our save
                    what = "we save " + m_notes[key].Path;
                    qbText::WriteFileBytes(path, ReadBytes(path) + "<p>saved</p>");
                    library.NoteWritten(path);
                } else if (op == 9) { // written in place, not reported: the name stays
                    what = "another writes " + m_notes[key].Path + " in place";
                    QFile file(path);
                    QVERIFY(file.open(QIODevice::Append));
                    QVERIFY(file.write("<p>edited</p>") > 0);
                } else { // a sync tool's replace by rename
                    what = "another replaces " + m_notes[key].Path;
                    WriteBytes(path + ".tmp", ReadBytes(path) + "<p>synced</p>");
                    QVERIFY(std::rename(qPrintable(path + ".tmp"), qPrintable(path)) == 0);
                    touched << DirOf(m_notes[key].Path);
                }
            } else if (op == 11) { // mv a t; mv b a; mv t b, two notes or two folders
                const QString a = anyItem();
                const QString b = anyItem();
                if (a.isEmpty() || b.isEmpty() || a == b || isFolder(a) != isFolder(b) ||
                    Under(a, b) || Under(b, a))
                    continue;
                what = "another swaps " + a + " and " + b;
                QVERIFY(QDir().rename(Abs(a), Abs(a) + ".t") && QDir().rename(Abs(b), Abs(a)) &&
                        QDir().rename(Abs(a) + ".t", Abs(b)));
                touched << DirOf(a) << DirOf(b);
                Moved(a, a + ".t");
                Moved(b, a);
                Moved(a + ".t", b);
            } else if (op == 12 && mayAdd) { // a copy beside the original
                const int key = AnyNote();
                TNote note = m_notes[key];
                note.Path = Join(DirOf(note.Path), FreeName(QStringLiteral("사본"), ".htm"));
                note.Kept = false;
                what = "another copies " + m_notes[key].Path + " to " + note.Path;
                QVERIFY(QFile::copy(Abs(m_notes[key].Path), Abs(note.Path)));
                m_notes.append(note);
                touched << DirOf(note.Path);
            } else if (op == 13 && mayAdd) { // another program's new note
                const int key = NewNote(anyFolder());
                what = "another creates " + m_notes[key].Path;
                WriteBytes(Abs(m_notes[key].Path), Page(key));
                touched << DirOf(m_notes[key].Path);
            } else if (op == 14 && AliveNotes().size() > 8) {
                const int key = AnyNote();
                what = "another deletes " + m_notes[key].Path;
                QVERIFY(QFile::remove(Abs(m_notes[key].Path)));
                touched << DirOf(m_notes[key].Path);
                Removed(m_notes[key].Path);
            } else {
                continue;
            }
            const QString at = QStringLiteral("seed %1, step %2: %3").arg(seed).arg(step++).arg(what);
            // The watched folders report; the others are listed, as when the tree opens them.
            touched.removeDuplicates();
            const QStringList watched = TopFolders();
            QSet<QString> awaited;
            QStringList unwatched;
            for (const QString& dir : std::as_const(touched)) {
                if (!QFileInfo(Abs(dir)).isDir())
                    continue;
                if (watched.contains(Abs(dir)))
                    awaited << Abs(dir);
                else
                    unwatched << Abs(dir);
            }
            reported.clear();
            while (!reported.contains(awaited))
                QVERIFY2(changed.wait(), qPrintable(at + "\nnot reported"));
            for (const QString& dir : std::as_const(unwatched))
                library.List(dir);
            settle();
            watcher.SetFolders(TopFolders());
            const QString mismatch = Mismatch(library);
            QVERIFY2(mismatch.isEmpty(), qPrintable(at + "\n" + mismatch));
            QVERIFY2(asker.Calls.isEmpty(), qPrintable(at + "\n" + asker.Calls.join(u'\n')));
            QVERIFY2(!m_notes[openKey].Alive || openPath == Abs(m_notes[openKey].Path),
                     qPrintable(at + "\nthe open note is taken for " + openPath));
        }
    }
};

QTEST_GUILESS_MAIN(tst_RandomLibrary)
#include "tst_RandomLibrary.moc"
