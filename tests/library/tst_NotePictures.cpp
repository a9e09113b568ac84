// A note's pictures keep showing after tree operations, and no other note loses one.
#include "common/qbTestFiles.h"
#include "common/qbTreeRows.h"
#include "library/UserFileName.h"
#include "library/qbTree.h"
#include "qbFakeTreeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

QByteArray ReadMaybe(const QString& path) {
    return ReadBytes(path, "<missing>");
}

// A CP949 page ("그림" in its text) showing the given addresses.
QByteArray Page(const QStringList& addresses) {
    QByteArray page = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                      "charset=euc-kr\"></HEAD><BODY>\xB1\xD7\xB8\xB2\r\n";
    for (const QString& address : addresses)
        page += "<IMG src=\"" + QStringEncoder("windows-949").encode(address) + "\">\r\n";
    return page + "</BODY></HTML>\r\n";
}

} // namespace

class tst_NotePictures : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_root;
    TFakeHost m_host;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbTree> m_tree;
    QString m_typed;

    QString Lib(const QString& rel) const { return m_root + u'/' + rel; }
    QPersistentModelIndex Find(const QString& text) const { return qbRowOf(*m_tree, text); }
    void Expand(const QStringList& folders) {
        for (const QString& folder : folders)
            m_tree->ExpandFolder(Find(folder));
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        m_root = m_temp->filePath("BookData");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_temp->filePath("xdg")));
        // n1 keeps a picture in its folder's "__images" and one beside it.
        WriteBytes(Lib("A/n1.htm"), Page({"__images/p.png", "pic2.png"}));
        WriteBytes(Lib("A/__images/p.png"), "P");
        WriteBytes(Lib("A/pic2.png"), "P2");
        WriteBytes(Lib("B/b.htm"), Page({}));
        WriteBytes(Lib("B/C/c.htm"), Page({}));
        m_host.Calls.clear();
        m_host.Answer = true;
        m_library = std::make_unique<TqbLibrary>(m_host);
        m_tree = std::make_unique<TqbTree>(m_host, *m_library, nullptr);
        m_host.Attach(*m_library, m_tree.get());
        m_tree->SetDialogRunner([this](QDialog& dialog) {
            auto* user = dynamic_cast<TfrmUserFileName*>(&dialog);
            user->edtName->setText(m_typed);
            user->btnConfirmClick();
            return user->result() == QDialog::Accepted;
        });
        m_tree->LoadRoot(m_root);
        Expand({"A", "B"});
    }
    void cleanup() {
        m_tree.reset();
        m_library.reset();
    }

    // Moved with the note, or copied while another note of the old folder still shows it.
    void noteMoved_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("shared"); // a second note of A shows __images/p.png

        QTest::newRow("move") << "move" << false;
        QTest::newRow("cut and paste") << "paste" << false;
        QTest::newRow("move, picture shared in the old folder") << "move" << true;
        QTest::newRow("cut and paste, picture shared") << "paste" << true;
        QTest::newRow("move, a pipe among the old folder's notes") << "pipe" << false;
    }

    void noteMoved() {
        QFETCH(QString, how);
        QFETCH(bool, shared);
        if (shared) {
            WriteBytes(Lib("A/n2.htm"), Page({"__images/p.png"}));
            m_tree->LoadRoot(m_root);
            Expand({"A", "B"});
        }
        if (how == "pipe") // reading it would never end
            QCOMPARE(::mkfifo(QFile::encodeName(Lib("A/pipe.htm")).constData(), 0644), 0);
        const QByteArray before = ReadMaybe(Lib("A/n1.htm"));
        if (how == "move" || how == "pipe") {
            m_tree->MoveNode(Find("B"), Find("n1"));
        } else {
            m_tree->SetContextNode(Find("n1"));
            m_tree->PopupCut();
            m_tree->SetContextNode(Find("B"));
            m_tree->PopupPaste();
        }
        QVERIFY(m_host.Messages().isEmpty());
        // The note is carried unchanged and its addresses name its pictures again.
        QCOMPARE(ReadMaybe(Lib("B/n1.htm")), before);
        QCOMPARE(ReadMaybe(Lib("B/__images/p.png")), QByteArray("P"));
        QCOMPARE(ReadMaybe(Lib("B/pic2.png")), QByteArray("P2"));
        QVERIFY(!QFileInfo::exists(Lib("A/pic2.png")));
        QCOMPARE(QFileInfo::exists(Lib("A/__images/p.png")), shared);
        if (shared)
            QCOMPARE(ReadMaybe(Lib("A/__images/p.png")), QByteArray("P"));
    }

    // The note's folder is the same, or moved as a whole: nothing needs carrying.
    void noteRenamedOrFolderMoved_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("note");     // where n1 is afterwards
        QTest::addColumn<QString>("pictures"); // its folder

        QTest::newRow("note renamed") << "rename note"
                                      << "A/m1.htm"
                                      << "A";
        QTest::newRow("folder renamed") << "rename folder"
                                        << "AA/n1.htm"
                                        << "AA";
        QTest::newRow("folder moved") << "move folder"
                                      << "B/A/n1.htm"
                                      << "B/A";
        QTest::newRow("folder moved to the top") << "move folder up"
                                                 << "A/n1.htm"
                                                 << "A";
    }

    void noteRenamedOrFolderMoved() {
        QFETCH(QString, how);
        QFETCH(QString, note);
        QFETCH(QString, pictures);
        const QByteArray before = ReadMaybe(Lib("A/n1.htm"));
        if (how == "rename note") {
            m_typed = "m1";
            m_tree->RenameNode(Find("n1"));
        } else if (how == "rename folder") {
            m_typed = "AA";
            m_tree->RenameNode(Find("A"));
        } else if (how == "move folder") {
            m_tree->MoveNode(Find("B"), Find("A"));
        } else {
            m_tree->MoveNode(Find("B"), Find("A"));
            m_tree->MoveNode({}, Find("A"));
        }
        QVERIFY(m_host.Messages().isEmpty());
        QCOMPARE(ReadMaybe(Lib(note)), before);
        QCOMPARE(ReadMaybe(Lib(pictures + "/__images/p.png")), QByteArray("P"));
        QCOMPARE(ReadMaybe(Lib(pictures + "/pic2.png")), QByteArray("P2"));
    }

    // A note of another folder that shows a picture kept in A still shows it after A was
    // renamed, moved or deleted, or after the note that kept it moved away with it.
    void linksFromOtherFoldersFollow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("address"); // what B/b.htm shows afterwards
        QTest::addColumn<QString>("picture"); // the file it names, from the library
        QTest::newRow("folder renamed") << "rename folder" << "../AA/__images/p.png"
                                        << "AA/__images/p.png";
        QTest::newRow("folder moved") << "move folder" << "A/__images/p.png"
                                      << "B/A/__images/p.png";
        QTest::newRow("folder deleted") << "delete folder" << "__images/p.png"
                                        << "B/__images/p.png";
        QTest::newRow("note moved with its picture") << "move note" << "C/__images/p.png"
                                                     << "B/C/__images/p.png";
    }
    void linksFromOtherFoldersFollow() {
        QFETCH(QString, how);
        QFETCH(QString, address);
        QFETCH(QString, picture);
        WriteBytes(Lib("B/b.htm"), Page({"../A/__images/p.png"}));
        if (how == "rename folder") {
            m_typed = "AA";
            m_tree->RenameNode(Find("A"));
        } else if (how == "move folder") {
            m_tree->MoveNode(Find("B"), Find("A"));
        } else if (how == "delete folder") {
            m_tree->DeleteNode(Find("A"));
        } else {
            Expand({"C"});
            m_tree->MoveNode(Find("C"), Find("n1"));
        }
        QVERIFY2(m_host.Messages().isEmpty(), qPrintable(m_host.Messages().join('\n')));
        QCOMPARE(ReadMaybe(Lib("B/b.htm")), Page({address}));
        QCOMPARE(ReadMaybe(Lib(picture)), QByteArray("P"));
    }

    // Where no file can stand at the place an address names, the address changes: to a copy
    // under a free name, or to the picture where it is.
    void addressChangedAsALastResort_data() {
        QTest::addColumn<QString>("note");     // the page moved from A into B/C
        QTest::addColumn<QString>("address");  // what it shows
        QTest::addColumn<QString>("expected"); // its address afterwards
        QTest::addColumn<QString>("picture");  // the file that address names, from B/C

        QTest::newRow("another picture of that name in the new folder") << "n3"
                                                                        << "__images/taken.png"
                                                                        << "__images/taken_1.png"
                                                                        << "__images/taken_1.png";
        QTest::newRow("shared picture above the folders") << "n3"
                                                          << "../shared/s.png"
                                                          << "../../shared/s.png"
                                                          << "../../shared/s.png";
        QTest::newRow("name percent-encoded in code page 949")
            << "n3" << "../shared/%B1%D7%B8%B2.png" << "../../shared/그림.png"
            << "../../shared/그림.png";
    }

    void addressChangedAsALastResort() {
        QFETCH(QString, note);
        QFETCH(QString, address);
        QFETCH(QString, expected);
        QFETCH(QString, picture);
        WriteBytes(Lib("A/__images/taken.png"), "mine");
        WriteBytes(Lib("B/C/__images/taken.png"), "theirs");
        WriteBytes(Lib("shared/s.png"), "mine");
        WriteBytes(Lib("shared/그림.png"), "mine");
        WriteBytes(Lib("A/" + note + ".htm"), Page({address}));
        m_tree->LoadRoot(m_root);
        Expand({"A", "B", "C"});
        m_tree->setCurrentIndex(Find(note));
        m_host.Calls.clear();

        m_tree->MoveNode(Find("C"), Find(note));
        QVERIFY(m_host.Messages().isEmpty());
        const QString moved = Lib("B/C/" + note + ".htm");
        // Only the address changed, in the page's own charset.
        QCOMPARE(ReadMaybe(moved), Page({expected}));
        QCOMPARE(ReadMaybe(Lib("B/C/" + picture)), QByteArray("mine"));
        QCOMPARE(ReadMaybe(Lib("B/C/__images/taken.png")), QByteArray("theirs"));
        // The open note was read again, so the editor cannot write the old address back.
        QCOMPARE(m_host.Calls.filter("open ").value(0), "open " + moved);
    }

    // A folder carries what lies inside it; a page in it that reaches out of it gets the
    // address of the same picture from its new place.
    void folderPageReachingOut_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("address");  // what A/n4.htm shows
        QTest::addColumn<QString>("note");     // where n4 is afterwards
        QTest::addColumn<QString>("expected"); // its address afterwards

        QTest::newRow("folder moved deeper") << "move"
                                             << "../shared/s.png"
                                             << "B/A/n4.htm"
                                             << "../../shared/s.png";
        QTest::newRow("folder renamed, address through its old name") << "rename"
                                                                      << "../A/pic2.png"
                                                                      << "AA/n4.htm"
                                                                      << "pic2.png";
        QTest::newRow("folder renamed, address outside it") << "rename"
                                                            << "../shared/s.png"
                                                            << "AA/n4.htm"
                                                            << "../shared/s.png";
    }

    void folderPageReachingOut() {
        QFETCH(QString, how);
        QFETCH(QString, address);
        QFETCH(QString, note);
        QFETCH(QString, expected);
        WriteBytes(Lib("shared/s.png"), "S");
        WriteBytes(Lib("A/n4.htm"), Page({address}));
        m_tree->LoadRoot(m_root);
        Expand({"A", "B"});
        if (how == "move") {
            m_tree->MoveNode(Find("B"), Find("A"));
        } else {
            m_typed = "AA";
            m_tree->RenameNode(Find("A"));
        }
        QVERIFY(m_host.Messages().isEmpty());
        QCOMPARE(ReadMaybe(Lib(note)), Page({expected}));
        QVERIFY(QFileInfo(QFileInfo(Lib(note)).path() + u'/' + expected).isFile());
        QCOMPARE(ReadMaybe(Lib("shared/s.png")), QByteArray("S"));
        QVERIFY(!QFileInfo::exists(Lib("A")));
    }

    void pageWithBadBytesIsNotRewritten() {
        QByteArray page = Page({"../shared/s.png"});
        // A lead byte without its second byte: not CP949, so the text cannot be written back.
        page.replace("</BODY>", "\xA1 </BODY>");
        WriteBytes(Lib("A/bad.htm"), page);
        WriteBytes(Lib("shared/s.png"), "S");
        m_tree->LoadRoot(m_root);
        Expand({"A", "B"});
        m_tree->MoveNode(Find("C"), Find("bad"));
        QCOMPARE(ReadMaybe(Lib("B/C/bad.htm")), page);
        QCOMPARE(m_host.Messages().size(), 1);
        QVERIFY(m_host.Messages().first().contains(TqbTree::PicturesNotKeptMessage));
        QVERIFY(m_host.Messages().first().contains("s.png"));
    }
};

QTEST_MAIN(tst_NotePictures)
#include "tst_NotePictures.moc"
