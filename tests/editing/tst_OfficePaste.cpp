// Office programs' clipboard HTML, cleaned before it goes into a note.
#include "editing/qbOfficePaste.h"

#include <QFile>
#include <QUrl>
#include <QtTest>

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Pictures as the editor would keep them, without a note folder: a file under its own name, a
// data address as a pasted picture, a missing file not at all, a web picture as it is.
QString KeptPicture(const QString& address) {
    const QUrl url(address);
    if (address.contains(u"missing"))
        return {};
    if (url.scheme() == u"file")
        return QStringLiteral("__images/") + url.fileName();
    if (url.scheme() == u"data")
        return QStringLiteral("__images/pasted.png");
    return address;
}

} // namespace

class TestOfficePaste : public QObject {
    Q_OBJECT

private slots:
    // Clipboard pages as the office programs write them, each beside the markup it becomes.
    void samples_data() {
        QTest::addColumn<QString>("sample");
        QTest::newRow("LibreOffice Calc cells") << "libreoffice-calc";
        QTest::newRow("LibreOffice Writer text and table") << "libreoffice-writer";
        QTest::newRow("spreadsheet with x: numbers and xl classes") << "spreadsheet";
        QTest::newRow("word processor with Mso classes, o:p and conditional comments")
            << "word-processor";
        QTest::newRow("Korean word processor with HStyle classes") << "korean-word-processor";
    }
    void samples() {
        QFETCH(QString, sample);
        const QString html = Read(QFINDTESTDATA("paste/" + sample + ".html"));
        const QString expected = Read(QFINDTESTDATA("paste/" + sample + ".clean.html"));
        QVERIFY(!html.isEmpty());
        const QString cleaned = TqbOfficePaste({}, KeptPicture).Clean(html);
        QCOMPARE(cleaned + u'\n', expected);
    }

    void rules_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("a class the note defines stays, the clipboard's goes inline")
            << "<style>.xl65 {color:red; mso-pattern:auto} p.box {color:blue}</style>"
               "<p class=\"box xl65\">a</p>"
            << "<p class=\"box\" style=\"color:red\">a</p>";
        QTest::newRow("a picture that could not be kept is left out")
            << "<p>a<img src=\"file:///tmp/missing.png\" width=3>b</p>" << "<p>ab</p>";
        QTest::newRow("a web picture stays as it is")
            << "<img src=\"https://example.org/a.png?x=1&amp;y=2\">"
            << "<img src=\"https://example.org/a.png?x=1&amp;y=2\">";
        QTest::newRow("end tags left out stay left out, stray ones go")
            << "<table><tr><td>a<td>b</span></table><p>c<p>d"
            << "<table><tr><td>a<td>b</table><p>c<p>d";
        QTest::newRow("a '<' that starts no tag is text, a script goes with its content")
            << "1 < 2<script>alert(1)</script><b onclick=\"x()\">!</b>" << "1 < 2<b>!</b>";
        QTest::newRow("quotes inside a kept value")
            << "<span style='font-family:\"굴림\";mso-hansi-font-family:\"굴림\"'>가</span>"
            << "<span style=\"font-family:&quot;굴림&quot;\">가</span>";
    }
    void rules() {
        QFETCH(QString, html);
        QFETCH(QString, cleaned);
        QCOMPARE(TqbOfficePaste({QStringLiteral("box")}, KeptPicture).Clean(html), cleaned);
    }
};

QTEST_APPLESS_MAIN(TestOfficePaste)
#include "tst_OfficePaste.moc"
