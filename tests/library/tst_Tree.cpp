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

QStringList Texts(const QList<QTreeWidgetItem*>& nodes) {
    QStringList texts;
    for (const QTreeWidgetItem* node : nodes)
        texts << node->text(0);
    return texts;
}

QStringList ChildTexts(const QTreeWidgetItem* node) {
    QList<QTreeWidgetItem*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children << node->child(i);
    return Texts(children);
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

    QTreeWidgetItem* Top(const QString& text) const {
        const auto found = m_tree->findItems(text, Qt::MatchExactly);
        return found.size() == 1 ? found.first() : nullptr;
    }
    QPoint LabelPoint(QTreeWidgetItem* node) const { return m_tree->visualItemRect(node).center(); }
    QPoint BranchPoint(QTreeWidgetItem* node) const {
        const QRect rect = m_tree->visualItemRect(node);
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
        QList<QTreeWidgetItem*> top;
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            top << m_tree->topLevelItem(i);
        QCOMPARE(Texts(top), (QStringList{"일기", "A", "b", "empty", "onlydesc", "onlytxt", "ph",
                                          "-", "note"}));
        QVERIFY(m_host.Calls.isEmpty());
        QCOMPARE(m_tree->currentItem(), nullptr);
    }

    void focusPicksNoNode() {
        m_tree->clearFocus();
        m_tree->setFocus(Qt::TabFocusReason);
        QVERIFY(m_tree->hasFocus());
        QCOMPARE(m_tree->currentItem(), nullptr);
        QVERIFY(m_host.Calls.isEmpty());
    }

    void nodeShape_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("imageIndex");
        QTest::addColumn<bool>("unlisted");
        QTest::addColumn<int>("childCount");

        QTest::newRow("folder with entries") << "A" << 0 << true << 1;
        QTest::newRow("folder holding only its description") << "onlydesc" << 0 << false << 0;
        QTest::newRow("folder holding only a text file") << "onlytxt" << 0 << true << 1;
        QTest::newRow("empty folder") << "empty" << 0 << false << 0;
        QTest::newRow("Korean folder") << "일기" << 0 << true << 1;
        QTest::newRow("note named dash") << "-" << 2 << false << 0;
        QTest::newRow("note") << "note" << 2 << false << 0;
    }

    void nodeShape() {
        QFETCH(QString, text);
        QTreeWidgetItem* node = Top(text);
        QVERIFY(node);
        QTEST(TqbTree::ImageIndex(node), "imageIndex");
        QTEST(TqbTree::IsUnlisted(node), "unlisted");
        QTEST(node->childCount(), "childCount");
        QCOMPARE(TqbTree::IsFolder(node), TqbTree::ImageIndex(node) == 0);
        QVERIFY(!TqbTree::IsPlaceholder(node));
        if (node->childCount() == 1)
            QCOMPARE(node->child(0)->text(0), QString("-\a"));
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

        QTreeWidgetItem* diary = Top("일기");
        m_tree->LoadChildren(diary);
        QTreeWidgetItem* today = diary->child(0);
        QCOMPARE(today->text(0), QString("오늘"));

        QCOMPARE(m_tree->NodePath(nullptr), m_root);
        QCOMPARE(m_tree->NodeDirPrefix(nullptr), QString());
        QCOMPARE(m_tree->NodeDirPrefix(diary), m_root + "/");
        QCOMPARE(m_tree->NodePath(diary), m_root + "/일기");
        QCOMPARE(m_tree->NodeDirPrefix(today), m_root + "/일기/");
        QCOMPARE(m_tree->NodePath(today), m_root + "/일기/오늘");

        QCOMPARE(m_tree->SelectedPath(), QString());
        m_tree->setCurrentItem(diary);
        QCOMPARE(m_tree->SelectedPath(), m_root + "/일기/");
        m_tree->setCurrentItem(today);
        QCOMPARE(m_tree->SelectedPath(), m_root + "/일기/오늘.htm");
        QVERIFY(QFile::exists(m_tree->OpenPath()));
        QVERIFY(!m_tree->OpenPath().contains("//"));
    }

    void loadChildren() {
        QTreeWidgetItem* a = Top("A");
        m_tree->LoadChildren(a);
        QVERIFY(a->isExpanded());
        QCOMPARE(ChildTexts(a), (QStringList{"sub", "note1"}));
        QCOMPARE(TqbTree::ImageIndex(a->child(0)), 0);
        QCOMPARE(TqbTree::ImageIndex(a->child(1)), 2);

        m_tree->LoadChildren(Top("b"));
        QCOMPARE(ChildTexts(Top("b")), (QStringList{"Y", "z"}));

        // A listed folder is not listed twice.
        m_tree->LoadChildren(a);
        QCOMPARE(a->childCount(), 2);

        // Nothing to show: the placeholder stays and so does the closed state, every time.
        QTreeWidgetItem* onlyTxt = Top("onlytxt");
        for (int attempt = 0; attempt < 2; ++attempt) {
            m_tree->LoadChildren(onlyTxt);
            QVERIFY(TqbTree::IsUnlisted(onlyTxt));
            QCOMPARE(onlyTxt->childCount(), 1);
            QVERIFY(!onlyTxt->isExpanded());
        }

        m_tree->LoadChildren(nullptr);
        m_tree->LoadChildren(Top("note"));
        QCOMPARE(Top("note")->childCount(), 0);
        QVERIFY(m_host.Calls.isEmpty());
    }

    // The placeholder is told apart by its role: a real folder may carry its text.
    void folderNamedLikeThePlaceholder() {
        QTreeWidgetItem* ph = Top("ph");
        QVERIFY(TqbTree::IsUnlisted(ph));
        m_tree->LoadChildren(ph);
        QVERIFY(!TqbTree::IsUnlisted(ph));
        QVERIFY(ph->isExpanded());
        QTreeWidgetItem* odd = ph->child(0);
        QCOMPARE(odd->text(0), TqbTree::PlaceholderText);
        QVERIFY(TqbTree::IsFolder(odd));
        QVERIFY(!TqbTree::IsPlaceholder(odd));
        QVERIFY(TqbTree::IsUnlisted(odd));
        m_tree->setCurrentItem(odd);
        QCOMPARE(m_tree->OpenPath(), m_root + "/ph/" + TqbTree::PlaceholderText + "/" +
                                         TqbNoteInfo::FolderDescriptionName);
        m_tree->LoadChildren(odd);
        QCOMPARE(ChildTexts(odd), QStringList{"x"});
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
        QTEST(Top(text)->isExpanded(), "expanded");
        QTEST(m_tree->LastExpandTick() == m_tick, "ticks");
    }

    void refusedExpansion_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("setExpanded") << 0;
        QTest::newRow("expandItem") << 1;
        QTest::newRow("plus key") << 2;
        QTest::newRow("asterisk key") << 3;
    }

    void refusedExpansion() {
        QFETCH(int, how);
        QTreeWidgetItem* a = Top("A");
        if (how >= 2)
            m_tree->setCurrentItem(a);
        switch (how) {
        case 0:
            a->setExpanded(true);
            break;
        case 1:
            m_tree->expandItem(a);
            break;
        case 2:
            QTest::keyClick(m_tree.get(), Qt::Key_Plus);
            break;
        case 3:
            QTest::keyClick(m_tree.get(), Qt::Key_Asterisk);
            break;
        }
        QVERIFY(!a->isExpanded());
        QVERIFY(TqbTree::IsUnlisted(a));
    }

    void press_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onLabel");
        QTest::addColumn<int>("before"); // 0 unlisted, 1 listed and closed, 2 listed and open
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<int>("childCount");

        QTest::newRow("label of unlisted folder") << "A" << true << 0 << true << 2;
        QTest::newRow("branch of unlisted folder") << "A" << false << 0 << true << 2;
        QTest::newRow("label of closed folder") << "A" << true << 1 << true << 2;
        QTest::newRow("branch of closed folder") << "A" << false << 1 << true << 2;
        QTest::newRow("label of open folder stays open") << "A" << true << 2 << true << 2;
        QTest::newRow("branch of open folder closes it") << "A" << false << 2 << false << 2;
        QTest::newRow("label of folder with nothing to list")
            << "onlytxt" << true << 0 << false << 1;
        QTest::newRow("branch of folder with nothing to list")
            << "onlytxt" << false << 0 << false << 1;
        QTest::newRow("label of note") << "note" << true << 0 << false << 0;
    }

    void press() {
        QFETCH(QString, text);
        QFETCH(bool, onLabel);
        QFETCH(int, before);
        QTreeWidgetItem* node = Top(text);
        if (before > 0) {
            m_tree->LoadChildren(node);
            node->setExpanded(before == 2);
        }
        m_host.Calls.clear();

        Click(onLabel ? LabelPoint(node) : BranchPoint(node));

        QTEST(node->isExpanded(), "expanded");
        QTEST(node->childCount(), "childCount");
        QCOMPARE(m_tree->currentItem(), node);
        QCOMPARE(m_tree->selectedItems(), QList<QTreeWidgetItem*>{node});
        QCOMPARE(m_tree->ContextNode(), node);
        const QString document =
            text == "note" ? m_root + "/note.htm"
                           : m_root + u'/' + text + u'/' + TqbNoteInfo::FolderDescriptionName;
        QCOMPARE(m_host.Calls, (QStringList{"save ", "open " + document}));
    }

    void selectionChangeSavesThenOpens() {
        m_tree->setCurrentItem(Top("-"));
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentItem(), Top("note"));
        const QString note = m_root + "/note.htm";
        const QString dash = m_root + "/-.htm";
        QCOMPARE(m_host.Calls,
                 (QStringList{"save ", "open " + dash, "save " + dash, "open " + note}));
    }

    // A document that could not be written keeps the tree on it, so its text stays in the editor.
    void failedSaveKeepsTheOpenDocument() {
        m_tree->setCurrentItem(Top("-"));
        const QString dash = m_root + "/-.htm";
        m_host.SaveSucceeds = false;
        m_host.Calls.clear();
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentItem(), Top("-"));
        QCOMPARE(m_tree->OpenPath(), dash);
        QCOMPARE(m_host.Calls, QStringList{"save " + dash});
        m_host.SaveSucceeds = true;
        QTest::keyClick(m_tree.get(), Qt::Key_Down);
        QCOMPARE(m_tree->currentItem(), Top("note"));
        QCOMPARE(m_tree->OpenPath(), m_root + "/note.htm");
    }

    void rightPressKeepsSelection() {
        m_tree->setCurrentItem(Top("note"));
        m_host.Calls.clear();
        QTreeWidgetItem* a = Top("A");

        Click(LabelPoint(a), Qt::RightButton);
        QCOMPARE(m_tree->ContextNode(), a);
        QCOMPARE(m_tree->currentItem(), Top("note"));
        QVERIFY(!a->isExpanded());
        QVERIFY(m_host.Calls.isEmpty());

        Click(QPoint(5, m_tree->viewport()->height() - 5), Qt::RightButton);
        QCOMPARE(m_tree->ContextNode(), nullptr);
        QCOMPARE(m_tree->currentItem(), Top("note"));
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
        QTreeWidgetItem* a = Top("A");
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
        QTEST(a->isExpanded(), "expanded");
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
        QTreeWidgetItem* a = Top("A");
        m_tree->setCurrentItem(a);
        QTest::keyClick(m_tree.get(), Qt::Key(key));
        QVERIFY(a->isExpanded());
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
        QTreeWidgetItem* a = Top("A");
        Click(LabelPoint(a));
        QCOMPARE(m_tree->ContextNode(), a);
        const QString open = m_tree->OpenPath();
        m_host.Calls.clear();

        m_tree->LoadRoot(m_root);
        QCOMPARE(m_tree->OpenPath(), open);
        QCOMPARE(m_tree->currentItem(), nullptr);
        QVERIFY(m_tree->selectedItems().isEmpty());
        QCOMPARE(m_tree->SelectedPath(), QString());
        QCOMPARE(m_tree->ContextNode(), nullptr);
        QVERIFY(TqbTree::IsUnlisted(Top("A")));
        QVERIFY(m_host.Calls.isEmpty());
    }

    void images_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("placeholder");
        QTest::addColumn<int>("normal");
        QTest::addColumn<int>("selected");

        QTest::newRow("folder") << "A" << false << 0 << 1;
        QTest::newRow("note") << "note" << false << 2 << 3;
        QTest::newRow("placeholder") << "A" << true << 0 << 0;
    }

    void images() {
        QFETCH(QString, text);
        QFETCH(bool, placeholder);
        const QList<QColor> colors{Qt::red, Qt::green, Qt::blue, Qt::yellow};
        QList<QPixmap> images;
        for (const QColor& color : colors) {
            QPixmap pixmap(16, 16);
            pixmap.fill(color);
            images << pixmap;
        }
        m_tree->SetImages(images);

        QTreeWidgetItem* node = placeholder ? Top(text)->child(0) : Top(text);
        QVERIFY(node);
        const QIcon icon = node->icon(0);
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
