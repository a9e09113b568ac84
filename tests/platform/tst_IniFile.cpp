#include "platform/qbError.h"
#include "platform/qbIniFile.h"

#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TstIniFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void ReadInteger_data();
    void ReadInteger();
    void ReadString_data();
    void ReadString();
    void ReadBool_data();
    void ReadBool();
    void MissingFileGivesDefaults();
    void HandEditSeenAtNextRead();
    void Write_data();
    void Write();
    void WriteTypedValuesReadBack();
    void WriteFailureThrowsAndKeepsOldFile();
    void FullDiskKeepsSettings();
    void WriteRefusesLineBreaks();

private:
    QString IniPath() const { return m_dir->filePath("qbNivora.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstIniFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TstIniFile::ReadInteger_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    const int def = 77;
    QTest::newRow("decimal") << QByteArray("42") << 42;
    QTest::newRow("negative") << QByteArray("-25") << -25;
    QTest::newRow("blanks around") << QByteArray("  13  ") << 13;
    QTest::newRow("hex 0x1F") << QByteArray("0x1F") << 31;
    QTest::newRow("hex upper prefix, lower digits") << QByteArray("0Xff") << 255;
    QTest::newRow("hex all bits") << QByteArray("0xFFFFFFFF") << -1;
    QTest::newRow("0x alone") << QByteArray("0x") << def;
    QTest::newRow("bad hex digit") << QByteArray("0x1G") << def;
    QTest::newRow("letters") << QByteArray("abc") << def;
    QTest::newRow("trailing letters") << QByteArray("12abc") << def;
    QTest::newRow("inner blank") << QByteArray("1 2") << def;
    QTest::newRow("empty") << QByteArray("") << def;
    QTest::newRow("sign alone") << QByteArray("-") << def;
    QTest::newRow("too large") << QByteArray("99999999999") << def;
    QTest::newRow("quoted") << QByteArray("\"12\"") << 12;
}

void TstIniFile::ReadInteger() {
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    WriteBytes(IniPath(), "[PROGRAM]\nLeft=" + value + "\n");
    QCOMPARE(TqbIniFile(IniPath()).ReadInteger("PROGRAM", "Left", 77), expected);
}

void TstIniFile::ReadString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("names without case") << QByteArray("[program]\ndirdata=D:\\Notes\n") << "PROGRAM"
                                        << "DirData"
                                        << "D:\\Notes";
    QTest::newRow("blanks trimmed") << QByteArray("[ Skin ]\n  Name  =   blue sky  \n") << "Skin"
                                    << "Name"
                                    << "blue sky";
    QTest::newRow("double quotes dropped") << QByteArray("[Skin]\nName=\" padded \"\n") << "Skin"
                                           << "Name"
                                           << " padded ";
    QTest::newRow("lone quote kept") << QByteArray("[Skin]\nName=\"x\n") << "Skin"
                                     << "Name"
                                     << "\"x";
    QTest::newRow("value holds =") << QByteArray("[S]\nK=a=b\n") << "S"
                                   << "K"
                                   << "a=b";
    QTest::newRow("comment is no key") << QByteArray("[S]\n;K=commented\n") << "S"
                                       << "K"
                                       << "default";
    QTest::newRow("key of another section") << QByteArray("[A]\nK=a\n[B]\nX=b\n") << "B"
                                            << "K"
                                            << "default";
    QTest::newRow("first section of a name wins")
        << QByteArray("[S]\nK=first\n[s]\nK=second\n") << "S"
        << "K"
        << "first";
    QTest::newRow("key before any section ignored") << QByteArray("K=loose\n[S]\n") << "S"
                                                    << "K"
                                                    << "default";
    QTest::newRow("missing key") << QByteArray("[S]\nOther=1\n") << "S"
                                 << "K"
                                 << "default";
    QTest::newRow("CR LF file") << QByteArray("[S]\r\nK=v\r\n") << "S"
                                << "K"
                                << "v";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF[S]\nK=\xEA\xB0\x80\n") << "S"
                                    << "K"
                                    << "가";
    QTest::newRow("code page 949 file")
        << QByteArray("[PROGRAM]\r\nDirData=C:\\\xB0\xA1\r\n") << "PROGRAM"
        << "DirData"
        << "C:\\가";
    QTest::newRow("cut to 2047") << "[S]\nK=" + QByteArray(3000, 'x') + "\n"
                                 << "S"
                                 << "K" << QString(2047, u'x');
}

void TstIniFile::ReadString() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    WriteBytes(IniPath(), content);
    QCOMPARE(TqbIniFile(IniPath()).ReadString(section, key, "default"), expected);
}

void TstIniFile::ReadBool_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("any non-zero") << QByteArray("-3") << false << true;
    QTest::newRow("hex non-zero") << QByteArray("0x10") << false << true;
    QTest::newRow("word is no number") << QByteArray("true") << false << false;
    QTest::newRow("word keeps default true") << QByteArray("false") << true << true;
}

void TstIniFile::ReadBool() {
    QFETCH(QByteArray, value);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    WriteBytes(IniPath(), "[Skin]\nMode=" + value + "\n");
    QCOMPARE(TqbIniFile(IniPath()).ReadBool("Skin", "Mode", def), expected);
}

void TstIniFile::MissingFileGivesDefaults() {
    const TqbIniFile ini(IniPath());
    QCOMPARE(ini.ReadString("PROGRAM", "DirData", "x"), QStringLiteral("x"));
    QCOMPARE(ini.ReadInteger("PROGRAM", "TreeWidth", -1), -1);
    QCOMPARE(ini.ReadBool("Skin", "Mode", true), true);
    QVERIFY(!QFile::exists(IniPath()));
}

void TstIniFile::HandEditSeenAtNextRead() {
    TqbIniFile ini(IniPath());
    ini.WriteInteger("PROGRAM", "Left", 10);
    QCOMPARE(ini.ReadInteger("PROGRAM", "Left", 0), 10);
    WriteBytes(IniPath(), "[PROGRAM]\nLeft=20\n");
    QCOMPARE(ini.ReadInteger("PROGRAM", "Left", 0), 20);
    QFile::remove(IniPath());
    QCOMPARE(ini.ReadInteger("PROGRAM", "Left", 0), 0);
}

void TstIniFile::Write_data() {
    QTest::addColumn<QByteArray>("before"); // "<none>": no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray commented = "; settings\n"
                                 "[PROGRAM]\n"
                                 "Left=25\n"
                                 "  top = 30 \n"
                                 "; place\n"
                                 "\n"
                                 "[Skin]\n"
                                 "Mode=1\n";
    QTest::newRow("file created") << QByteArray("<none>") << "PROGRAM"
                                  << "Left"
                                  << "5" << QByteArray("[PROGRAM]\nLeft=5\n");
    QTest::newRow("replaced in place, others kept")
        << commented << "program"
        << "TOP"
        << "40"
        << QByteArray("; settings\n[PROGRAM]\nLeft=25\n  top=40\n; place\n\n[Skin]\nMode=1\n");
    QTest::newRow("new key after last non-blank line")
        << commented << "PROGRAM"
        << "Width"
        << "800"
        << QByteArray("; settings\n[PROGRAM]\nLeft=25\n  top = 30 \n; place\nWidth=800\n\n"
                      "[Skin]\nMode=1\n");
    QTest::newRow("new key in last section") << commented << "SKIN"
                                             << "Name"
                                             << "blue" << QByteArray(commented + "Name=blue\n");
    QTest::newRow("new section at the end") << commented << "Extra"
                                            << "K"
                                            << "v" << QByteArray(commented + "[Extra]\nK=v\n");
    QTest::newRow("empty section gets its key") << QByteArray("[A]\n[B]\nx=1\n") << "A"
                                                << "k"
                                                << "v" << QByteArray("[A]\nk=v\n[B]\nx=1\n");
    QTest::newRow("first match in first section") << QByteArray("[S]\nK=1\nk=2\n[s]\nK=3\n") << "S"
                                                  << "K"
                                                  << "9" << QByteArray("[S]\nK=9\nk=2\n[s]\nK=3\n");
    QTest::newRow("CR LF kept") << QByteArray("[S]\r\nA=1\r\n") << "S"
                                << "B"
                                << "2" << QByteArray("[S]\r\nA=1\r\nB=2\r\n");
    QTest::newRow("unterminated last line") << QByteArray("[S]\nA=1") << "S"
                                            << "A"
                                            << "2" << QByteArray("[S]\nA=2\n");
    QTest::newRow("UTF-8 on disk, BOM kept")
        << QByteArray("\xEF\xBB\xBF[S]\n") << "S"
        << "DirData"
        << "D:/노트" << QByteArray("\xEF\xBB\xBF[S]\nDirData=D:/\xEB\x85\xB8\xED\x8A\xB8\n");
    // A file from the Windows program stays in its code page while that can hold it.
    const QByteArray windows = "[Skin]\r\nName=\xC6\xC4\xB6\xFB\r\n";
    QTest::newRow("code page 949 kept") << windows << "PROGRAM"
                                        << "DirData"
                                        << "D:/노트"
                                        << windows + "[PROGRAM]\r\nDirData=D:/\xB3\xEB\xC6\xAE\r\n";
    QTest::newRow("code page 949 file takes what it cannot hold as UTF-8")
        << windows << "PROGRAM"
        << "DirData"
        << "D:/😀"
        << QByteArray("[Skin]\r\nName=\xED\x8C\x8C\xEB\x9E\x91\r\n[PROGRAM]\r\n"
                      "DirData=D:/\xF0\x9F\x98\x80\r\n");
    QTest::newRow("code page 949 file, same value: as it was")
        << windows << "skin"
        << "name"
        << "파랑" << windows;
    QTest::newRow("same value: as it was") << QByteArray("[S]\nA=1") << "S"
                                          << "A"
                                          << "1" << QByteArray("[S]\nA=1");
}

void TstIniFile::Write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (before != "<none>")
        WriteBytes(IniPath(), before);
    TqbIniFile ini(IniPath());
    ini.WriteString(section, key, value);
    QCOMPARE(ReadBytes(IniPath()), after);
    QCOMPARE(ini.ReadString(section, key, "default"), value);
}

void TstIniFile::WriteTypedValuesReadBack() {
    TqbIniFile ini(IniPath());
    ini.WriteInteger("PROGRAM", "TreeWidth", -1);
    ini.WriteBool("PROGRAM", "Maximized", true);
    ini.WriteBool("Skin", "Mode", false);
    QCOMPARE(ReadBytes(IniPath()),
             QByteArray("[PROGRAM]\nTreeWidth=-1\nMaximized=1\n[Skin]\nMode=0\n"));
    QCOMPARE(ini.ReadInteger("PROGRAM", "TreeWidth", 0), -1);
    QCOMPARE(ini.ReadBool("PROGRAM", "Maximized", false), true);
    QCOMPARE(ini.ReadBool("Skin", "Mode", true), false);
}

void TstIniFile::WriteFailureThrowsAndKeepsOldFile() {
    // Running as root, rights do not stop a write; a folder in the way and a path under a
    // regular file do.
    const QByteArray old = "; mine\n[PROGRAM]\nLeft=1\n";
    const QString folder = m_dir->filePath("folder.ini");
    QVERIFY(QDir().mkpath(folder + "/inside"));
    const QString blocker = m_dir->filePath("plain-file");
    WriteBytes(blocker, old);

    for (const QString& path : {folder, blocker + "/qbNivora.ini"}) {
        TqbIniFile ini(path);
        try {
            ini.WriteInteger("PROGRAM", "Left", 2);
            QFAIL(qPrintable("no error for " + path));
        } catch (const EqbError& e) {
            QVERIFY2(e.Message().contains(QFileInfo(path).fileName()), qPrintable(e.Message()));
        }
    }
    QVERIFY(QFileInfo(folder + "/inside").isDir());
    QCOMPARE(ReadBytes(blocker), old);
}

// Closing on a full disk once emptied the settings file, and the library then looked gone.
void TstIniFile::FullDiskKeepsSettings() {
    TqbSmallDisk disk(1 << 20);
    if (!disk.IsMounted())
        QSKIP(qPrintable("no small disk: " + disk.Error()));
    const QString path = disk.FilePath("qbNivora.ini");
    const QByteArray old = "[PROGRAM]\nDirData=/home/kim/notes\nLeft=10\n";
    WriteBytes(path, old);
    QVERIFY(disk.Fill() > 0);

    TqbIniFile ini(path);
    try {
        ini.WriteInteger("PROGRAM", "Left", 20);
        QFAIL("no error on a full disk");
    } catch (const EqbError& e) {
        QVERIFY2(e.Message().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))),
                 qPrintable(e.Message()));
    }
    QCOMPARE(ReadBytes(path), old);
    QCOMPARE(ini.ReadString("PROGRAM", "DirData", "gone"), QStringLiteral("/home/kim/notes"));
}

void TstIniFile::WriteRefusesLineBreaks() {
    WriteBytes(IniPath(), "[S]\nK=1\n");
    TqbIniFile ini(IniPath());
    QVERIFY_THROWS_EXCEPTION(EqbError, ini.WriteString("S", "K", "two\nlines"));
    QVERIFY_THROWS_EXCEPTION(EqbError, ini.WriteString("S", "a=b", "v"));
    QVERIFY_THROWS_EXCEPTION(EqbError, ini.WriteString("S]", "K", "v"));
    QCOMPARE(ReadBytes(IniPath()), QByteArray("[S]\nK=1\n"));
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_IniFile.moc"
