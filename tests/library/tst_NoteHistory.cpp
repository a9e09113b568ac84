// Back and forward through the notes opened, and the recent notes kept between runs, as the
// library moves and removes what they point at.
#include "library/qbNoteHistory.h"
#include "platform/qbIniFile.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Steps separated by ";": "v a" opens a, "<" and ">" step back and forward (their answer, or
// "-", goes into the result), "m a b" moves a to b, "r a" removes a, "g a" deletes a behind the
// library's back. The result ends with "|" and the entries, the current one marked "*".
QString Run(const QString& script) {
    QSet<QString> gone;
    TqbNoteHistory history([&](const QString& path) { return !gone.contains(path); });
    QStringList answers;
    for (const QString& step : script.split(u';', Qt::SkipEmptyParts)) {
        const QStringList word = step.split(u' ', Qt::SkipEmptyParts);
        if (word[0] == "v")
            history.Visit(word[1]);
        else if (word[0] == "<" || word[0] == ">")
            answers << (word[0] == "<" ? history.Back() : history.Forward()).value_or("-");
        else if (word[0] == "m")
            history.Follow(word[1], word[2]);
        else if (word[0] == "r")
            history.Forget(word[1]);
        else if (word[0] == "g")
            gone.insert(word[1]);
    }
    QStringList entries = history.Entries();
    if (history.Current() >= 0)
        entries[history.Current()].prepend(u'*');
    answers << "|" << entries;
    return answers.join(u' ');
}

} // namespace

class tst_NoteHistory : public QObject {
    Q_OBJECT

private slots:
    void history_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        QTest::newRow("nothing opened") << "<;>"
                                        << "- - |";
        QTest::newRow("back and forward") << "v a;v b;v c;<;<;<;>;>"
                                          << "b a - b c | a b *c";
        QTest::newRow("opening after a step back drops what lay ahead") << "v a;v b;v c;<;<;v d;>"
                                                                        << "b a - | a *d";
        QTest::newRow("the same note twice is one step") << "v a;v a;v b;<"
                                                         << "a | *a b";
        QTest::newRow("a renamed note is followed") << "v a;v b;m a z;<"
                                                    << "z | *z b";
        QTest::newRow("a moved folder takes its notes") << "v d/x;v b;m d/ e/;<"
                                                        << "e/x | *e/x b";
        QTest::newRow("a removed note is passed over") << "v a;v b;v c;r b;<"
                                                       << "a | *a c";
        QTest::newRow("removing the current note") << "v a;v b;v c;<;r b;>"
                                                   << "b c | a *c";
        QTest::newRow("a removed folder takes its notes") << "v d/x;v d/y;v a;r d/;<"
                                                          << "- | *a";
        QTest::newRow("deleted by another program") << "v a;v b;v c;g b;<;>"
                                                    << "a c | a *c";
        QTest::newRow("every earlier note deleted") << "v a;v b;v c;g a;g b;<"
                                                    << "- | *c";
        QTest::newRow("moved onto a note already there") << "v a;v b;m b a;<"
                                                         << "- | *a";
    }
    void history() {
        QFETCH(QString, script);
        QFETCH(QString, result);
        QCOMPARE(Run(script), result);
    }

    void recentNotes_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("latest first, once each") << "v a;v b;v a" << QStringList{"a", "b"};
        QTest::newRow("renamed") << "v a;v b;m a z" << QStringList{"b", "z"};
        QTest::newRow("folder moved") << "v d/x;v b;m d/ e/" << QStringList{"b", "e/x"};
        QTest::newRow("removed") << "v a;v d/x;v b;r d/;r a" << QStringList{"b"};
    }
    void recentNotes() {
        QFETCH(QString, script);
        QFETCH(QStringList, paths);
        TqbRecentNotes recent;
        for (const QString& step : script.split(u';')) {
            const QStringList word = step.split(u' ');
            if (word[0] == "v")
                recent.Visit(word[1]);
            else if (word[0] == "m")
                recent.Follow(word[1], word[2]);
            else
                recent.Forget(word[1]);
        }
        QCOMPARE(recent.Paths(), paths);
    }

    void recentNotesKeepTwentyAcrossRuns() {
        QTemporaryDir dir;
        TqbIniFile ini(dir.filePath("qbNivora.ini"));
        TqbRecentNotes recent;
        QStringList expected;
        for (int i = 0; i < 25; ++i) {
            const QString path = QStringLiteral("/lib/노트 %1.htm").arg(i);
            recent.Visit(path);
            expected.prepend(path);
        }
        expected.resize(TqbRecentNotes::MaxNotes - 1);
        // A line end in a name would break the settings file: that one is not kept.
        recent.Visit("/lib/줄\n바꿈.htm");
        recent.Save(ini, "/lib/노트 24.htm");
        TqbRecentNotes again;
        again.Load(ini);
        QCOMPARE(again.Paths(), expected);
        QCOMPARE(TqbRecentNotes::OpenAtClose(ini), "/lib/노트 24.htm");
    }
};

QTEST_GUILESS_MAIN(tst_NoteHistory)
#include "tst_NoteHistory.moc"
