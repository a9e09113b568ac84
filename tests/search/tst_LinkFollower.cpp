// Links between notes follow a note or folder moved or renamed, by us or by another program:
// the bytes of every note before and after.
#include "common/qbFakeAsker.h"
#include "common/qbReadOnlyFolder.h"
#include "common/qbTestFiles.h"
#include "library/qbLibrary.h"
#include "platform/qbTextFile.h"
#include "search/qbLinkFollower.h"

#include <QDirIterator>
#include <cstdio>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TFiles = QMap<QString, QString>; // relative path, text

const QString Utf8Head = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>");

// a, b and sub/c link each other; k is a code page 949 page without a declaration, u a UTF-16
// one; z only names b in its text.
TFiles Sample() {
    return {
        {"a.htm", Utf8Head + "<a href=\"b.htm\">비</a> <a href=\"sub/c.htm\">c</a></body></html>"},
        {"b.htm", Utf8Head + "<a href=\"a.htm#top\">a</a><a href='sub/'>폴더</a></body></html>"},
        {"sub/c.htm", Utf8Head + "<a href=\"../a.htm\">a</a><a href=../b.htm>b</a></body></html>"},
        {"k.htm", "<p>한글 <a href=\"b.htm\">비</a></p>"},
        {"u.htm", "<p><a href=\"b.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"},
        {"z.htm", "<p>b.htm is only a name here</p>"},
    };
}

QByteArray Bytes(const QString& rel, const QString& text) {
    if (rel.startsWith(u'u'))
        return "\xFF\xFE" + QStringEncoder("UTF-16LE").encode(text);
    return rel.startsWith(u'k') ? QStringEncoder("windows-949").encode(text) : text.toUtf8();
}

TFiles Apply(TFiles files, const QList<std::pair<QString, QString>>& edits) {
    for (const auto& [rel, text] : edits) {
        if (text.isEmpty())
            files.remove(rel);
        else
            files[rel] = text;
    }
    return files;
}

} // namespace

class tst_LinkFollower : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_root;
    TqbFakeAsker m_asker;
    int m_libraries = 0;

    void MakeLibrary() {
        m_root = m_temp.path() + "/lib" + QString::number(++m_libraries);
        const TFiles files = Sample();
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            WriteBytes(m_root + u'/' + it.key(), Bytes(it.key(), it.value()));
        m_asker.Calls.clear();
    }
    void CompareLibrary(const TFiles& expected) {
        QStringList found;
        for (QDirIterator it(m_root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            found << it.next().mid(m_root.size() + 1);
        found.sort();
        QCOMPARE(found, expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(ReadBytes(m_root + u'/' + it.key()), Bytes(it.key(), it.value()));
    }

private slots:
    void moves_data() {
        QTest::addColumn<QString>("how"); // rename, move, or outside (another program's rename)
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<TFiles>("expected");
        QTest::addColumn<QStringList>("rewritten");

        const TFiles sample = Sample();
        const TFiles bRenamed = Apply(
            sample,
            {{"b.htm", {}},
             {"b2.htm", sample["b.htm"]},
             {"a.htm", Utf8Head + "<a href=\"b2.htm\">비</a> <a href=\"sub/c.htm\">c</a></body></html>"},
             {"sub/c.htm", Utf8Head + "<a href=\"../a.htm\">a</a><a href=../b2.htm>b</a></body></html>"},
             {"k.htm", "<p>한글 <a href=\"b2.htm\">비</a></p>"},
             {"u.htm", "<p><a href=\"b2.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}});
        const QStringList bLinks{"sub/c.htm", "a.htm", "k.htm", "u.htm"};
        QTest::newRow("note renamed") << "rename" << "b.htm" << "b2.htm" << bRenamed << bLinks;
        QTest::newRow("note renamed by another program")
            << "outside" << "b.htm" << "b2.htm" << bRenamed << bLinks;
        QTest::newRow("note moved into a folder: links to it and its own")
            << "move" << "a.htm" << "sub"
            << Apply(sample,
                     {{"a.htm", {}},
                      {"sub/a.htm",
                       Utf8Head + "<a href=\"../b.htm\">비</a> <a href=\"c.htm\">c</a></body></html>"},
                      {"b.htm", Utf8Head + "<a href=\"sub/a.htm#top\">a</a><a href='sub/'>폴더</a>"
                                           "</body></html>"},
                      {"sub/c.htm",
                       Utf8Head + "<a href=\"a.htm\">a</a><a href=../b.htm>b</a></body></html>"}})
            << QStringList{"sub/a.htm", "sub/c.htm", "b.htm"};
        const QString newDir = "%EC%83%88%20%ED%8F%B4%EB%8D%94";
        QTest::newRow("folder renamed: the notes inside keep theirs")
            << "rename" << "sub/" << "새 폴더/"
            << Apply(sample,
                     {{"sub/c.htm", {}},
                      {"새 폴더/c.htm", sample["sub/c.htm"]},
                      {"a.htm", Utf8Head + "<a href=\"b.htm\">비</a> <a href=\"" + newDir +
                                    "/c.htm\">c</a></body></html>"},
                      {"b.htm", Utf8Head + "<a href=\"a.htm#top\">a</a><a href='" + newDir +
                                    "/'>폴더</a></body></html>"}})
            << QStringList{"a.htm", "b.htm"};
    }

    void moves() {
        QFETCH(QString, how);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(TFiles, expected);
        QFETCH(QStringList, rewritten);
        MakeLibrary();
        TqbLinkFollower follower;
        TqbLibrary library(m_asker);
        library.SetRoot(m_root);
        library.SetLinkKeeper(&follower);
        QSignalSpy followed(&library, &TqbLibrary::LinksFollowed);
        const QString oldPath = m_root + u'/' + from;
        if (how == u"rename") {
            QVERIFY(library.Rename(oldPath, m_root + u'/' + to));
        } else if (how == u"move") {
            QVERIFY(library.Move(oldPath, m_root + u'/' + to));
        } else {
            QTRY_VERIFY(!library.Store().Learning());
            QVERIFY(QDir().rename(oldPath, m_root + u'/' + to));
            library.FollowOutsideMoves({m_root}, {});
            QVERIFY(followed.wait());
        }
        CompareLibrary(expected);
        QCOMPARE(followed.size(), 1);
        QStringList got = followed.first().first().toStringList();
        for (QString& path : got)
            path = path.mid(m_root.size() + 1);
        QCOMPARE(got, rewritten);
        QCOMPARE(m_asker.Calls, QStringList());
        // What each rewritten note held before is kept as its version.
        const TFiles sample = Sample();
        for (const QString& rel : std::as_const(rewritten)) {
            const QString before = how == u"move" && rel == to + u'/' + from ? from : rel;
            const QList<TqbNoteVersion> versions = library.Versions().List(m_root + u'/' + rel);
            QCOMPARE(versions.size(), 1);
            QCOMPARE(ReadBytes(versions.first().Path), Bytes(before, sample[before]));
        }
    }

    // Another program's changes, each seen as the watcher reports it (its folders) or when a
    // folder is listed again: a note keeps its identity through every kind of write, so a later
    // rename or move of it is followed (links, pictures, versions) wherever it lies.
    void outsideChangesFollowed_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<TFiles>("expected");
        QTest::addColumn<QString>("versionAt"); // where b.htm's kept version is afterwards

        const TFiles sample = Apply(Sample(), {{"sub/p.htm", "<img src=\"__images/p.png\">"},
                                               {"sub/__images/p.png", "png"},
                                               {"pic.htm", "<img src=\"sub/__images/p.png\">"}});
        const auto bRenamed = [&](TFiles files, const QString& c) {
            return Apply(files,
                         {{"b.htm", {}},
                          {"b2.htm", files["b.htm"]},
                          {"a.htm", QString(files["a.htm"]).replace("\"b.htm", "\"b2.htm")},
                          {c, QString(files[c]).replace("../b.htm", "../b2.htm")},
                          {"k.htm", "<p>한글 <a href=\"b2.htm\">비</a></p>"},
                          {"u.htm", "<p><a href=\"b2.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}});
        };
        const QStringList rename{"mv b.htm b2.htm"};
        QTest::newRow("rename after a write in place")
            << QStringList{"edit b.htm"} + rename << bRenamed(sample, "sub/c.htm") << "b2.htm";
        QTest::newRow("rename after our save")
            << QStringList{"save b.htm"} + rename << bRenamed(sample, "sub/c.htm") << "b2.htm";
        QTest::newRow("rename after a replace by rename")
            << QStringList{"replace b.htm"} + rename << bRenamed(sample, "sub/c.htm") << "b2.htm";
        const TFiles cRenamed = Apply(
            sample, {{"sub/c.htm", {}},
                     {"sub/d.htm", sample["sub/c.htm"]},
                     {"a.htm", QString(sample["a.htm"]).replace("sub/c.htm", "sub/d.htm")}});
        QTest::newRow("rename after our link rewrite")
            << QStringList{"rename sub/c.htm sub/d.htm"} + rename << bRenamed(cRenamed, "sub/d.htm") << "b2.htm";
        QTest::newRow("rename in a folder never listed")
            << QStringList{"mv sub/c.htm sub/d.htm"} << cRenamed << "b.htm";
        QTest::newRow("rename found when the folder is listed again")
            << QStringList{"mv sub/c.htm sub/d.htm", "list sub"} << cRenamed << "b.htm";
        QTest::newRow("folder renamed: links and pictures into it")
            << QStringList{"mv sub sub2"}
            << Apply(sample, {{"sub/c.htm", {}}, {"sub/p.htm", {}}, {"sub/__images/p.png", {}},
                              {"sub2/c.htm", sample["sub/c.htm"]},
                              {"sub2/p.htm", sample["sub/p.htm"]},
                              {"sub2/__images/p.png", "png"},
                              {"a.htm", QString(sample["a.htm"]).replace("sub/", "sub2/")},
                              {"b.htm", QString(sample["b.htm"]).replace("sub/", "sub2/")},
                              {"pic.htm", "<img src=\"sub2/__images/p.png\">"}})
            << "b.htm";
        QTest::newRow("swap across folders, one folder reported")
            << QStringList{"swap b.htm sub/c.htm", "list sub"}
            << Apply(sample,
                     {{"a.htm", Utf8Head + "<a href=\"sub/c.htm\">비</a> <a href=\"b.htm\">c</a></body></html>"},
                      {"b.htm", Utf8Head + "<a href=\"a.htm\">a</a><a href=sub/c.htm>b</a></body></html>"},
                      {"sub/c.htm", Utf8Head + "<a href=\"../a.htm#top\">a</a><a href='./'>폴더</a></body></html>"},
                      {"k.htm", "<p>한글 <a href=\"sub/c.htm\">비</a></p>"},
                      {"u.htm", "<p><a href=\"sub/c.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}})
            << "sub/c.htm";
        QTest::newRow("note moved out of its folder takes its picture")
            << QStringList{"mv sub/p.htm p.htm"}
            << Apply(sample, {{"sub/p.htm", {}}, {"sub/__images/p.png", {}},
                              {"p.htm", sample["sub/p.htm"]},
                              {"__images/p.png", "png"},
                              {"pic.htm", "<img src=\"__images/p.png\">"}})
            << "b.htm";
        QTest::newRow("one into the name another left, in one batch")
            << QStringList{"chain a.htm b.htm b2.htm"}
            << Apply(sample,
                     {{"a.htm", {}},
                      {"b.htm", Utf8Head + "<a href=\"b2.htm\">비</a> <a href=\"sub/c.htm\">c</a></body></html>"},
                      {"b2.htm", Utf8Head + "<a href=\"b.htm#top\">a</a><a href='sub/'>폴더</a></body></html>"},
                      {"sub/c.htm", Utf8Head + "<a href=\"../b.htm\">a</a><a href=../b2.htm>b</a></body></html>"},
                      {"k.htm", "<p>한글 <a href=\"b2.htm\">비</a></p>"},
                      {"u.htm", "<p><a href=\"b2.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}})
            << "b2.htm";
        QTest::newRow("swap")
            << QStringList{"swap a.htm b.htm"}
            << Apply(sample,
                     {{"a.htm", Utf8Head + "<a href=\"b.htm#top\">a</a><a href='sub/'>폴더</a></body></html>"},
                      {"b.htm", Utf8Head + "<a href=\"a.htm\">비</a> <a href=\"sub/c.htm\">c</a></body></html>"},
                      {"sub/c.htm", Utf8Head + "<a href=\"../b.htm\">a</a><a href=../a.htm>b</a></body></html>"},
                      {"k.htm", "<p>한글 <a href=\"a.htm\">비</a></p>"},
                      {"u.htm", "<p><a href=\"a.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}})
            << "a.htm";
    }

    void outsideChangesFollowed() {
        QFETCH(QStringList, steps);
        QFETCH(TFiles, expected);
        QFETCH(QString, versionAt);
        MakeLibrary();
        WriteBytes(m_root + "/sub/p.htm", "<img src=\"__images/p.png\">");
        WriteBytes(m_root + "/sub/__images/p.png", "png");
        WriteBytes(m_root + "/pic.htm", "<img src=\"sub/__images/p.png\">");
        TqbLinkFollower follower;
        TqbLibrary library(m_asker);
        library.SetRoot(m_root);
        library.SetLinkKeeper(&follower);
        library.Versions().Keep(m_root + "/b.htm", "kept");
        QTRY_VERIFY(!library.Store().Learning());
        const auto lib = [&](const QString& rel) { return m_root + u'/' + rel; };
        const auto dirOf = [&](const QString& rel) { return QFileInfo(lib(rel)).path(); };
        for (const QString& step : std::as_const(steps)) {
            const QStringList words = step.split(u' ');
            const QString& op = words[0];
            const QString path = lib(words[1]);
            QStringList reported{dirOf(words[1])};
            if (op == u"edit") {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                const QByteArray bytes = file.readAll();
                QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
                // Renamed before the watcher reports the write.
                continue;
            } else if (op == u"save") {
                qbText::WriteFileBytes(path, ReadBytes(path));
                library.NoteWritten(path);
                continue;
            } else if (op == u"replace") {
                WriteBytes(path + ".tmp", ReadBytes(path));
                QVERIFY(std::rename(qPrintable(path + ".tmp"), qPrintable(path)) == 0);
            } else if (op == u"rename") {
                QVERIFY(library.Rename(path, lib(words[2])));
                continue;
            } else if (op == u"mv") {
                QVERIFY(QDir().rename(path, lib(words[2])));
                reported << dirOf(words[2]);
            } else if (op == u"chain") {
                QVERIFY(QDir().rename(lib(words[2]), lib(words[3])) &&
                        QDir().rename(path, lib(words[2])));
            } else if (op == u"swap") {
                QVERIFY(QDir().rename(path, path + ".t") && QDir().rename(lib(words[2]), path) &&
                        QDir().rename(path + ".t", lib(words[2])));
            }
            if (op == u"list")
                library.List(path);
            else
                library.FollowOutsideMoves(reported, {});
            // The links follow from the event loop.
            QCoreApplication::sendPostedEvents(&library, QEvent::MetaCall);
        }
        CompareLibrary(expected);
        QCOMPARE(m_asker.Calls, QStringList());
        QList<QByteArray> kept;
        for (const TqbNoteVersion& version : library.Versions().List(lib(versionAt)))
            kept << ReadBytes(version.Path);
        QVERIFY2(kept.contains("kept"), qPrintable(versionAt));
    }

    // A note that cannot take the new links keeps its bytes and is named; the others follow.
    void notesLeftAlone_data() {
        QTest::addColumn<QString>("why");
        QTest::newRow("open note with edits not saved") << "unsaved";
        QTest::newRow("note in a read-only folder") << "read-only";
    }

    void notesLeftAlone() {
        QFETCH(QString, why);
        MakeLibrary();
        const QString held = m_root + "/sub/c.htm";
        TqbLinkFollower follower([&] {
            return why == u"unsaved" ? QStringList{held} : QStringList();
        });
        TqbLibrary library(m_asker);
        library.SetRoot(m_root);
        library.SetLinkKeeper(&follower);
        std::unique_ptr<TqbReadOnlyFolder> readOnly;
        if (why == u"read-only") {
            readOnly = std::make_unique<TqbReadOnlyFolder>(m_root + "/sub");
            if (!readOnly->IsReadOnly())
                QSKIP(qPrintable("no read-only folder here: " + readOnly->Error()));
        }
        QVERIFY(library.Rename(m_root + "/b.htm", m_root + "/b2.htm"));
        readOnly.reset();
        const TFiles sample = Sample();
        CompareLibrary(Apply(
            sample,
            {{"b.htm", {}},
             {"b2.htm", sample["b.htm"]},
             {"a.htm", Utf8Head + "<a href=\"b2.htm\">비</a> <a href=\"sub/c.htm\">c</a></body></html>"},
             {"k.htm", "<p>한글 <a href=\"b2.htm\">비</a></p>"},
             {"u.htm", "<p><a href=\"b2.htm\">비</a><textarea><a href=\"b.htm\"></textarea></p>"}}));
        QCOMPARE(m_asker.Calls, QStringList{"message " + TqbLibrary::LinksNotKeptMessage + held});
    }
};

QTEST_GUILESS_MAIN(tst_LinkFollower)
#include "tst_LinkFollower.moc"
