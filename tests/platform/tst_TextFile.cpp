#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include "common/qbTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString KoreanHead = QStringLiteral(
    R"(<HTML><HEAD><META http-equiv=Content-Type content="text/html; charset=euc-kr">)");

} // namespace

class TstTextFile : public QObject {
    Q_OBJECT
private slots:
    void NormalizeCharset_data();
    void NormalizeCharset();
    void DeclaredCharset_data();
    void DeclaredCharset();
    void EncodeDecode_data();
    void EncodeDecode();
    void SplitLines_data();
    void SplitLines();
    void DecodeReferences_data();
    void DecodeReferences();
    void JoinLines();
    void KoreanPageRoundTrip();
    void EmojiSurvivesAsReference();
    void Utf8PageStaysUtf8();
    void ReadLinesMixedLineEnds();
    void WriteFailureThrowsAndKeepsOldFile();
    void ReadMissingFileThrows();

private:
    QTemporaryDir m_dir;
};

void TstTextFile::NormalizeCharset_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");
    for (const char* korean : {"euc-kr", "EUC-KR", "cp949", "CP949", "ks_c_5601-1987", "uhc",
                               "windows-949", "x-windows-949", "MS949", " \"euc-kr\" "})
        QTest::newRow(korean) << QByteArray(korean) << QByteArray("windows-949");
    QTest::newRow("utf-8") << QByteArray("utf-8") << QByteArray("UTF-8");
    QTest::newRow("UTF8") << QByteArray("UTF8") << QByteArray("UTF-8");
    QTest::newRow("shift_jis") << QByteArray("Shift_JIS") << QByteArray("Shift_JIS");
    QTest::newRow("unknown") << QByteArray("x-no-such-charset") << QByteArray("windows-949");
    QTest::newRow("empty") << QByteArray() << QByteArray("windows-949");
}

void TstTextFile::NormalizeCharset() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    QCOMPARE(qbText::NormalizeCharset(name), expected);
}

void TstTextFile::DeclaredCharset_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("default header") << KoreanHead.toLatin1() << QByteArray("windows-949");
    QTest::newRow("meta charset quoted")
        << QByteArray("<html><head><meta charset=\"utf-8\"><title>x</title>")
        << QByteArray("UTF-8");
    QTest::newRow("meta charset bare upper")
        << QByteArray("<HTML><META CHARSET=UTF-8/>") << QByteArray("UTF-8");
    QTest::newRow("content ks_c") << QByteArray(
                                         "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                         "charset=ks_c_5601-1987\">")
                                  << QByteArray("windows-949");
    QTest::newRow("content utf-8 single quotes")
        << QByteArray("<meta content='text/html; charset=utf-8' http-equiv='content-type'>")
        << QByteArray("UTF-8");
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF<html>") << QByteArray("UTF-8");
    QTest::newRow("xml declaration")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><html>") << QByteArray("UTF-8");
    QTest::newRow("none") << QByteArray("<html><body>charset=utf-8</body>")
                          << QByteArray("windows-949");
    QTest::newRow("unknown name") << QByteArray("<meta charset=\"x-bogus\">")
                                  << QByteArray("windows-949");
    QTest::newRow("inside comment")
        << QByteArray("<!-- <meta charset=utf-8> --><html>") << QByteArray("windows-949");
    QTest::newRow("in body only") << QByteArray("<html><body><meta charset=utf-8>")
                                  << QByteArray("windows-949");
    QTest::newRow("after long style") << QByteArray("<html><head><style>" + QByteArray(3000, 'x') +
                                                    "</style><meta charset=utf-8>")
                                      << QByteArray("UTF-8");
}

void TstTextFile::DeclaredCharset() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, expected);
    QCOMPARE(qbText::DeclaredCharset(page), expected);
}

void TstTextFile::EncodeDecode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("ga") << QStringLiteral("가") << QByteArray("euc-kr") << QByteArray("\xB0\xA1")
                        << QStringLiteral("가");
    QTest::newRow("ttom, outside KS X 1001") << QStringLiteral("똠") << QByteArray("CP949")
                                             << QByteArray("\x8C\x63") << QStringLiteral("똠");
    QTest::newRow("question mark stays") << QStringLiteral("왜?") << QByteArray("euc-kr")
                                         << QByteArray("\xBF\xD6?") << QStringLiteral("왜?");
    QTest::newRow("emoji") << QStringLiteral("a😀?b") << QByteArray("euc-kr")
                           << QByteArray("a&#x1F600;?b") << QStringLiteral("a&#x1F600;?b");
    QTest::newRow("thai, upper-case hex")
        << QStringLiteral("가ก가") << QByteArray("euc-kr") << QByteArray("\xB0\xA1&#xE01;\xB0\xA1")
        << QStringLiteral("가&#xE01;가");
    QTest::newRow("utf-8 keeps emoji")
        << QStringLiteral("가😀") << QByteArray("utf-8")
        << QByteArray("\xEA\xB0\x80\xF0\x9F\x98\x80") << QStringLiteral("가😀");
}

void TstTextFile::EncodeDecode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, charset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    QCOMPARE(qbText::Encode(text, charset), bytes);
    QCOMPARE(qbText::Decode(bytes, charset), readBack);
}

void TstTextFile::SplitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one unterminated") << QStringLiteral("a") << QStringList{"a"};
    QTest::newRow("final LF adds nothing") << QStringLiteral("a\n") << QStringList{"a"};
    QTest::newRow("final CR adds nothing") << QStringLiteral("a\r") << QStringList{"a"};
    QTest::newRow("mixed") << QStringLiteral("a\r\nb\rc\nd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("blank lines") << QStringLiteral("a\r\n\r\nb\n\n")
                                 << QStringList{"a", "", "b", ""};
    QTest::newRow("LF CR is two ends") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("only a line end") << QStringLiteral("\r\n") << QStringList{""};
}

void TstTextFile::SplitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(qbText::SplitLines(text), lines);
}

void TstTextFile::DecodeReferences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("none") << "a&b c" << "a&b c";
    QTest::newRow("named") << "&lt;&amp;&gt;&quot;&apos;" << "<&>\"'";
    QTest::newRow("numeric") << "&#54620;&#xAE00;&#X1F600;" << QString::fromUtf8("한글\U0001F600");
    QTest::newRow("an address") << "a.htm?x=1&amp;y=2" << "a.htm?x=1&y=2";
    QTest::newRow("not a code point stays")
        << "&#0;&#xD800;&#x110000;&#99999999999;" << "&#0;&#xD800;&#x110000;&#99999999999;";
    QTest::newRow("unknown or open stays") << "&nbsp;&amp &#x;" << "&nbsp;&amp &#x;";
}

void TstTextFile::DecodeReferences() {
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(qbText::DecodeReferences(text), decoded);
}

void TstTextFile::JoinLines() {
    QCOMPARE(qbText::JoinLines({"a", "", "b"}), QStringLiteral("a\r\n\r\nb\r\n"));
    QCOMPARE(qbText::JoinLines({}), QString());
}

void TstTextFile::KoreanPageRoundTrip() {
    const QString path = m_dir.filePath("korean.htm");
    const QStringList lines{KoreanHead, QStringLiteral("<DIV>가똠</DIV>"),
                            QStringLiteral("</BODY></HTML>")};
    qbText::WriteLines(path, lines);
    QCOMPARE(ReadBytes(path),
             KoreanHead.toLatin1() + "\r\n<DIV>\xB0\xA1\x8C\x63</DIV>\r\n" + "</BODY></HTML>\r\n");
    QCOMPARE(qbText::ReadLines(path), lines);
}

void TstTextFile::EmojiSurvivesAsReference() {
    const QString path = m_dir.filePath("emoji.htm");
    qbText::WriteLines(path, {KoreanHead, QStringLiteral("웃음😀")});
    QVERIFY(ReadBytes(path).endsWith("\xBF\xF4\xC0\xBD&#x1F600;\r\n"));
    QCOMPARE(qbText::ReadLines(path), QStringList({KoreanHead, QStringLiteral("웃음&#x1F600;")}));
}

void TstTextFile::Utf8PageStaysUtf8() {
    const QString path = m_dir.filePath("utf8.htm");
    const QByteArray page = "<html><head><meta charset=\"utf-8\"></head>\n"
                            "<body>\xEA\xB0\x80\xF0\x9F\x98\x80</body></html>\n";
    WriteBytes(path, page);
    const QStringList lines = qbText::ReadLines(path);
    QCOMPARE(lines.value(1), QStringLiteral("<body>가😀</body></html>"));

    qbText::WriteLines(path, lines);
    QByteArray expected = page;
    expected.replace("\n", "\r\n");
    QCOMPARE(ReadBytes(path), expected);
}

void TstTextFile::ReadLinesMixedLineEnds() {
    const QString path = m_dir.filePath("mixed.txt");
    WriteBytes(path, "one\r\ntwo\rthree\n\xB0\xA1\r\n");
    QCOMPARE(qbText::ReadLines(path), QStringList({"one", "two", "three", "가"}));
}

void TstTextFile::WriteFailureThrowsAndKeepsOldFile() {
    // Running as root, rights do not stop a write; a folder in the way and a path under a
    // regular file do.
    const QString folder = m_dir.filePath("folder");
    QVERIFY(QDir().mkpath(folder + "/inside"));
    const QString blocker = m_dir.filePath("plain-file");
    WriteBytes(blocker, "blocker");

    for (const QString& path : {folder, blocker + "/note.htm"}) {
        try {
            qbText::WriteLines(path, {"new"});
            QFAIL(qPrintable("no error for " + path));
        } catch (const EqbError& e) {
            QVERIFY2(e.Message().contains(QFileInfo(path).fileName()), qPrintable(e.Message()));
        }
    }
    QVERIFY(QFileInfo(folder + "/inside").isDir());
    QCOMPARE(ReadBytes(blocker), QByteArray("blocker"));
}

void TstTextFile::ReadMissingFileThrows() {
    QVERIFY_THROWS_EXCEPTION(EqbError, qbText::ReadLines(m_dir.filePath("missing.htm")));
    QVERIFY_THROWS_EXCEPTION(EqbError, qbText::ReadFileBytes(m_dir.path()));
}

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_TextFile.moc"
