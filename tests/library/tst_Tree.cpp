#include "common/qbTreeRows.h"
#include "library/qbNoteInfo.h"
#include "library/qbTree.h"
#include "qbFakeTreeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool Make(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            if (!QDir().mkpath(path))
                return false;
            continue;
        }
        QFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

} // namespace

class tst_Tree : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_root;
    TFakeHost m_host;
    std::unique_ptr<TqbLibrary> m_library;
    std::unique_ptr<TqbTree> m_tree;
    quint32 m_tick = 100000;

    QPersistentModelIndex Top(const QString& text) const {
        const QModelIndexList found = m_tree->model()->match(m_tree->model()->index(0, 0),
                                                             Qt::DisplayRole, text, -1,
                                                             Qt::MatchExactly);
        return QPersistentModelIndex(found.size() == 1 ? found.first() : QModelIndex());
    }
    QStringList ChildTexts(const QModelIndex& node) const { return qbRowTexts(*m_tree, node); }
    int Rows(const QModelIndex& node) const { return m_tree->model()->rowCount(node); }
    QPoint LabelPoint(const QModelIndex& node) const { return m_tree->visualRect(node).center(); }
    QPoint BranchPoint(const QModelIndex& node) const {
        const QRect rect = m_tree->visualRect(node);
        return {rect.left() - m_tree->indentation() / 2, rect.center().y()};
    }
    void Click(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(m_tree->viewport(), button, {}, pos);
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
        QVERIFY(m_temp.isValid());
        m_root = m_temp.path() + "/BookData";
        QVERIFY(Make(m_root, {"A/sub/", "A/note1.htm", "A/" + TqbNoteInfo::FolderDescriptionName,
                              "b/z.htm", "b/Y.HTM", "b/x.html", "b/w.txt", "onlydesc/",
                              "onlydesc/" + TqbNoteInfo::FolderDescriptionName, "onlytxt/w.txt",
                              "일기/오늘.htm", "__images/pic.htm", ".hidden/", "-.htm", "note.htm",
                              "empty/", "ph/-\a/x.htm"}));
    }

    void init() {
        m_library = std::make_unique<TqbLibrary>(m_host);
        m_tree = std::make_unique<TqbTree>(m_host, *m_library, nullptr);
        m_host.Attach(*m_library, m_tree.get());
        m_host.Calls.clear();
        m_tree->SetTickSource([this] { return m_tick; });
        m_tree->resize(400, 600);
        m_tree->LoadRoot(m_root);
        m_tree->show();
        QVERIFY(QTest::qWaitForWindowActive(m_tree.get()));
    }

    void cleanup() {
        m_tree.reset();
        m_library.reset();
    }

    void topLevelOrder() {
        QCOMPARE(ChildTexts({}), (QStringList{"일기", "A", "b", "empty", "onlydesc", "onlytxt", "ph",
                                              "-", "note"}));
        QVERIFY(m_host.Calls.isEmpty());
        QVERIFY(!m_tree->currentIndex().isValid());
    }

    void focusPicksNoNode() {
        m_tree->clearFocus();
        m_tree->setFocus(Qt::TabFocusReason);
        QVERIFY(m_tree->hasFocus());
        QVERIFY(!m_tree->currentIndex().isValid());
        QVERIFY(m_host.Calls.isEmpty());
    }

    void nodeShape_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("imageIndex");
        QTest::addColumn<bool>("unlisted");
        QTest::addColumn<bool>("arrow");

        QTest::newRow("folder with entries") << "A" << 0 << true << true;
        QTest::newRow("folder holding only its description") << "onlydesc" << 0 << false << false;
        QTest::newRow("folder holding only a text file") << "onlytxt" << 0 << true << true;
        QTest::newRow("empty folder") << "empty" << 0 << false << false;
        QTest::newRow("Korean folder") << "일기" << 0 << true << true;
        QTest::newRow("note named dash") << "-" << 2 << false << false;
        QTest::newRow("note") << "note" << 2 << false << false;
    }

    void nodeShape() {
        QFETCH(QString, text);
        const QModelIndex node = Top(text);
        QVERIFY(node.isValid());
        QTEST(TqbTree::ImageIndex(node), "imageIndex");
        QTEST(m_tree->IsUnlisted(node), "unlisted");
        QTEST(m_tree->model()->hasChildren(node), "arrow");
        QCOMPARE(TqbTree::IsFolder(node), TqbTree::ImageIndex(node) == 0);
        // Nothing below the top level is read before it is opened.
        QCOMPARE(Rows(node), 0);
    }

    void paths_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("root as given") << "";
        QTest::newRow("root with a trailing slash") << "/";
    }

    void paths() {
        QFETCH(QString, suffix);
        m_tree->LoadRoot(m_root + suffix);
        QCOMPARE(m_tree->RootDir(), m_root);

        const QModelIndex diary = Top("일기");
        m_tree->LoadChildren(diary);
        const QModelIndex today = m_tree->model()->index(0, 0, diary);
        QCOMPARE(today.data().toString(), QString("오늘"));

        QCOMPARE(m_tree->NodePath({}), m_root);
        QCOMPARE(m_tree->NodeDirPrefix({}), QString());
        QCOMPARE(m_tree->NodeDirPrefix(diary), m_root + "/");
        QCOMPARE(m_tree->NodePath(diary), m_root + "/일기");
        QCOMPARE(m_tree->NodeDirPrefix(today), m_root + "/일기/");
        QCOMPARE(m_tree->NodePath(today), m_root + "/일기/오늘");

        QCOMPARE(m_tree->SelectedPath(), QString());
        m_tree->setCurrentIndex(diary);
        QCOMPARE(m_tree->SelectedPath(), m_root + "/일기/");
        m_tree->setCurrentIndex(today);
        QCOMPARE(m_tree->SelectedPath(), m_root + "/일기/오늘.htm");
        QVERIFY(QFile::exists(m_tree->OpenPath()));
        QVERIFY(!m_tree->OpenPath().contains("//"));
    }

    void loadChildren() {
        const QModelIndex a = Top("A");
        m_tree->LoadChildren(a);
        QVERIFY(m_tree->isExpanded(a));
        QCOMPARE(ChildTexts(a), (QStringList{"sub", "note1"}));
        QCOMPARE(TqbTree::ImageIndex(m_tree->model()->index(0, 0, a)), 0);
        QCOMPARE(TqbTree::ImageIndex(m_tree->model()->index(1, 0, a)), 2);

        m_tree->LoadChildren(Top("b"));
        QCOMPARE(ChildTexts(Top("b")), (QStringList{"Y", "z"}));

        // A listed folder is not listed twice.
        m_tree->LoadChildren(a);
        QCOMPARE(Rows(a), 2);

        // Nothing to show: the expand arrow stays and so does the closed state, every time.
        const QModelIndex onlyTxt = Top("onlytxt");
        for (int attempt = 0; attempt < 2; ++attempt) {
            m_tree->LoadChildren(onlyTxt);
            QVERIFY(m_tree->IsUnlisted(onlyTxt));
            QVERIFY(m_tree->model()->hasChildren(onlyTxt));
            QCOMPARE(Rows(onlyTxt), 0);
            QVERIFY(!m_tree->isExpanded(onlyTxt));
        }

        m_tree->LoadChildren({});
        m_tree->LoadChildren(Top("note"));
        QCOMPARE(Rows(Top("note")), 0);
        QVERIFY(m_host.Calls.isEmpty());
    }

    // A folder may carry any name a file system allows, control characters too.
    void folderWithAControlCharacterInItsName() {
        const QString odd = QStringLiteral("-\a");
        const QModelIndex ph = Top("ph");
        QVERIFY(m_tree->IsUnlisted(ph));
        m_tree->LoadChildren(ph);
        QVERIFY(!m_tree->IsUnlisted(ph));
        QVERIFY(m_tree->isExpanded(ph));
        const QModelIndex folder = m_tree->model()->index(0, 0, ph);
        QCOMPARE(folder.data().toString(), odd);
        QVERIFY(TqbTree::IsFolder(folder));
        QVERIFY(m_tree->IsUnlisted(folder));
        m_tree->setCurrentIndex(folder);
        QCOMPARE(m_tree->OpenPath(),
                 m_root + "/ph/" + odd + "/" + TqbNoteInfo::FolderDescriptionName);
        m_tree->LoadChildren(folder);
        QCOMPARE(ChildTexts(folder), QStringList{"x"});
    }

    void expandFolder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<bool>("ticks");

        QTest::newRow("unlisted folder") << "A" << true << true;
        QTest::newRow("folder without children") << "empty" << false << true;
        QTest::newRow("folder with nothing to list") << "onlytxt" << false << true;
        QTest::newRow("note") << "note" << false << false;
    }

    void expandFolder() {
        QFETCH(QString, text);
        m_tree->ExpandFolder(Top(text));
        QTEST(m_tree->isExpanded(Top(text)), "expanded");
        QTEST(m_tree->LastExpandTick() == m_tick, "ticks");
    }

    void refusedExpansion_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("setExpanded") << 0;
        QTest::newRow("expand") << 1;
        QTest::newRow("plus key") << 2;
        QTest::newRow("asterisk key") << 3;
    }

    void refusedExpansion() {
        QFETCH(int, how);
        const QModelIndex a = Top("A");
        if (how >= 2)
            m_tree->setCurrentIndex(a);
        switch (how) {
        case 0:
            m_tree->setExpanded(a, true);
            break;
        case 1:
            m_tree->expand(a);
            break;
        case 2:
            QTest::keyClick(m_tree.get(), Qt::Key_Plus);
            break;
        case 3:
            QTest::keyClick(m_tree.get(), Qt::Key_Asterisk);
            break;
        }
        QVERIFY(!m_tree->isExpanded(a));
        QVERIFY(m_tree->IsUnlisted(a));
    }

    void press_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onLabel");
        QTest::addColumn<int>("before"); // 0 unlisted, 1 listed and closed, 2 listed and open
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<int>("rows");

        QTest::newRow("label of unlisted folder") << "A" << true << 0 << true << 2;
        QTest::newRow("branch of unlisted folder") << "A" << false << 0 << true << 2;
        QTest::newRow("label of closed folder") << "A" << true << 1 << true << 2;
        QTest::newRow("branch of closed folder") << "A" << false << 1 << true << 2;
        QTest::newRow("label of open folder stays open") << "A" << true << 2 << true << 2;
        QTest::newRow("branch of open folder closes it") << "A" << false << 2 << false << 2;
        QTest::newRow("label of folder with nothing to list")
            << "onlytxt" << true << 0 << false << 0;
        QTest::newRow("branch of folder with nothing to list")
            << "onlytxt" << false << 0 << false << 0;
        QTest::newRow("label of note") << "note" << true << 0 << false << 0;
    }

    void press() {
        QFETCH(QString, text);
        QFETCH(bool, onLabel);
        QFETCH(int, before);
        const QModelIndex node = Top(text);
        if (before > 0) {
            m_tree->LoadChildren(node);
            m_tree->setExpanded(node, before == 2);
        }
        m_host.Calls.clear();

        Click(onLabel ? LabelPoint(node) : BranchPoint(node));

        QTEST(m_tree->isExpanded(node), "expanded");
        QTEST(Rows(node), "rows");
        QCOMPARE(m_tree->currentIndex(), node);
        QCOMPARE(m_tree->selectionModel()->selectedRows(), QModelIndexList{node});
        QCOMPARE(m_tree->ContextNode(), node);
        const QString document =
            text == "note" ? m_root + "/note.htm"
                           : m_root + u'/' + text + u'/' + TqbNoteInfo::FolderDescriptionName;
        QCOMPARE(m_host.Calls, (QStringList{"save ", "open " + document}));
    }

    void selectionChangeSavesThenOpens() {
        m_tree->setCurrentIndex(Top("-"));
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Top("note")));
        const QString note = m_root + "/note.htm";
        const QString dash = m_root + "/-.htm";
        QCOMPARE(m_host.Calls,
                 (QStringList{"save ", "open " + dash, "save " + dash, "open " + note}));
    }

    // A document that could not be written keeps the tree on it, so its text stays in the editor.
    void failedSaveKeepsTheOpenDocument() {
        m_tree->setCurrentIndex(Top("-"));
        const QString dash = m_root + "/-.htm";
        m_host.SaveSucceeds = false;
        m_host.Calls.clear();
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Top("-")));
        QCOMPARE(m_tree->OpenPath(), dash);
        QCOMPARE(m_host.Calls, QStringList{"save " + dash});
        m_host.SaveSucceeds = true;
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Top("note")));
        QCOMPARE(m_tree->OpenPath(), m_root + "/note.htm");
    }

    void rightPressKeepsSelection() {
        m_tree->setCurrentIndex(Top("note"));
        m_host.Calls.clear();
        const QModelIndex a = Top("A");

        Click(LabelPoint(a), Qt::RightButton);
        QCOMPARE(m_tree->ContextNode(), a);
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Top("note")));
        QVERIFY(!m_tree->isExpanded(a));
        QVERIFY(m_host.Calls.isEmpty());

        Click(QPoint(5, m_tree->viewport()->height() - 5), Qt::RightButton);
        QVERIFY(!m_tree->ContextNode().isValid());
        QCOMPARE(m_tree->currentIndex(), QModelIndex(Top("note")));
    }

    void doubleClick_data() {
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<bool>("onLabel");
        QTest::addColumn<quint32>("sinceExpansion");
        QTest::addColumn<bool>("expanded");

        QTest::newRow("closed folder, second click at once") << false << true << 0u << true;
        QTest::newRow("closed folder, second click at 200 ms") << false << true << 200u << true;
        QTest::newRow("closed folder, second click at 201 ms") << false << true << 201u << false;
        QTest::newRow("open folder") << true << true << 0u << false;
        QTest::newRow("open folder's expand button") << true << false << 0u << true;
    }

    void doubleClick() {
        QFETCH(bool, openBefore);
        QFETCH(bool, onLabel);
        QFETCH(quint32, sinceExpansion);
        const QModelIndex a = Top("A");
        if (openBefore) {
            m_tree->ExpandFolder(a);
            m_tick += 5000;
        }
        const QPoint pos = onLabel ? LabelPoint(a) : BranchPoint(a);
        if (onLabel)
            QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, pos);
        m_tick += sinceExpansion;
        QTest::mouseDClick(m_tree->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseRelease(m_tree->viewport(), Qt::LeftButton, {}, pos);
        QTEST(m_tree->isExpanded(a), "expanded");
    }

    void expandGrace_data() {
        QTest::addColumn<quint32>("now");
        QTest::addColumn<quint32>("last");
        QTest::addColumn<bool>("within");

        QTest::newRow("same tick") << 1000u << 1000u << true;
        QTest::newRow("200 ms") << 1200u << 1000u << true;
        QTest::newRow("201 ms") << 1201u << 1000u << false;
        QTest::newRow("across the wrap") << 5u << 0xFFFFFFF0u << true;
        QTest::newRow("long ago across the wrap") << 500u << 0xFFFFFFF0u << false;
    }

    void expandGrace() {
        QFETCH(quint32, now);
        QFETCH(quint32, last);
        QTEST(qbTreeRules::WithinExpandGrace(now, last), "within");
    }

    // Where the open document is after an item moved; "" stands for nothing open.
    void documentFollows_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("followed");

        QTest::newRow("the note") << "/L/a.htm" << "/L/a.htm" << "/L/b.htm" << "/L/b.htm";
        QTest::newRow("a folder above") << "/L/F/G/a.htm" << "/L/F/" << "/L/X/" << "/L/X/G/a.htm";
        QTest::newRow("a folder's page") << "/L/F/p.qb" << "/L/F/" << "/M/F/" << "/M/F/p.qb";
        QTest::newRow("a name it starts with") << "/L/FG/a.htm" << "/L/F/" << "/L/X/"
                                               << "/L/FG/a.htm";
        QTest::newRow("a note it starts with") << "/L/a.htm.bak" << "/L/a.htm" << "/L/b.htm"
                                               << "/L/a.htm.bak";
        QTest::newRow("nothing open") << "" << "/L/F/" << "/L/X/" << "";
    }

    void documentFollows() {
        QFETCH(QString, document);
        QFETCH(QString, from);
        QFETCH(QString, followed);
        QFETCH(QString, to);
        QCOMPARE(qbTreeRules::Followed(document, from, to), followed);
        QCOMPARE(qbTreeRules::Within(document, from), followed != document);
    }

    void keyLoadsFolder_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Right") << int(Qt::Key_Right);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void keyLoadsFolder() {
        QFETCH(int, key);
        const QModelIndex a = Top("A");
        m_tree->setCurrentIndex(a);
        QTest::keyClick(m_tree.get(), Qt::Key(key));
        QVERIFY(m_tree->isExpanded(a));
        QCOMPARE(ChildTexts(a), (QStringList{"sub", "note1"}));
    }

    void setOpenPath() {
        const QString desc = TqbNoteInfo::FolderDescriptionName;
        const QString d = m_root;
        const QStringList asked{d + "/note.htm",
                                d + "/note.htm",
                                d + "/b/Y.HTM",
                                d + "/A/",
                                d + "/A/",
                                d + "/A/" + desc,
                                "",
                                ""};
        for (const QString& path : asked)
            m_tree->SetOpenPath(path);
        // An empty path closes the open document.
        QCOMPARE(m_host.Calls, (QStringList{"open " + d + "/note.htm", "open " + d + "/b/Y.HTM",
                                            "open " + d + "/A/" + desc, "discard"}));
    }

    void loadRootKeepsOpenDocument() {
        const QModelIndex a = Top("A");
        Click(LabelPoint(a));
        QCOMPARE(m_tree->ContextNode(), a);
        const QString open = m_tree->OpenPath();
        m_host.Calls.clear();

        m_tree->LoadRoot(m_root);
        QCOMPARE(m_tree->OpenPath(), open);
        QVERIFY(!m_tree->currentIndex().isValid());
        QVERIFY(m_tree->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(m_tree->SelectedPath(), QString());
        QVERIFY(!m_tree->ContextNode().isValid());
        QVERIFY(m_tree->IsUnlisted(Top("A")));
        QVERIFY(m_host.Calls.isEmpty());
    }

    void images_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("normal");
        QTest::addColumn<int>("selected");

        QTest::newRow("folder") << "A" << 0 << 1;
        QTest::newRow("note") << "note" << 2 << 3;
    }

    void images() {
        QFETCH(QString, text);
        const QList<QColor> colors{Qt::red, Qt::green, Qt::blue, Qt::yellow};
        QList<QPixmap> images;
        for (const QColor& color : colors) {
            QPixmap pixmap(16, 16);
            pixmap.fill(color);
            images << pixmap;
        }
        m_tree->SetImages(images);

        const QModelIndex node = Top(text);
        QVERIFY(node.isValid());
        const QIcon icon = m_tree->IconFor(node);
        const auto colorOf = [&](QIcon::Mode mode) {
            return icon.pixmap(16, 16, mode).toImage().pixelColor(8, 8);
        };
        QFETCH(int, normal);
        QFETCH(int, selected);
        QCOMPARE(colorOf(QIcon::Normal), colors.at(normal));
        QCOMPARE(colorOf(QIcon::Selected), colors.at(selected));
    }
};

QTEST_MAIN(tst_Tree)
#include "tst_Tree.moc"
