// Skins: the built-in one, loading a skin folder item by item, the skin folder's listing and the
// skin menu's numbering.
#include "frames/qbSkin.h"
#include "frames/qbSkinFolder.h"
#include "frames/qbSkinMenu.h"
#include "common/qbTestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

const QStringList ActRows = {"90A8E9", "8EA6E8", "87A0E2", "8DA6E8", "87A0E2", "839BE2", "839CE0",
                             "89A2E6", "839CE0", "7B94DC", "8098DE", "869EE4", "8098DE", "748DD9",
                             "7A93DA", "8099E0", "7A93DA", "6F89D5", "425CAB"};
const QStringList InActRows = {"A7A7A7", "A5A5A5", "9E9E9E", "A4A4A4", "9F9F9F", "9B9B9B", "9A9A9A",
                               "A0A0A0", "9B9B9B", "939393", "979797", "9D9D9D", "979797", "8D8D8D",
                               "939393", "989898", "929292", "898989", "5F5F5F"};

QStringList Rows(const QImage& column) {
    QStringList rows;
    for (int y = 0; y < column.height(); ++y)
        rows << QString::asprintf("%06X", column.pixel(0, y) & 0xFFFFFF);
    return rows;
}

QImage Filled(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

void WriteBmp(const QString& path, const QImage& image) {
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY(image.save(path, "BMP"));
}

} // namespace

class TstSkin : public QObject {
    Q_OBJECT
private slots:
    void builtInSkin() {
        const TqbSkin skin = qbSkin::BuiltIn();
        QCOMPARE(skin.ActCaption.size(), QSize(1, 19));
        QCOMPARE(Rows(skin.ActCaption), ActRows);
        QCOMPARE(Rows(skin.InActCaption), InActRows);
        QCOMPARE(skin.Buttons.size(), QSize(192, 17));
        QCOMPARE(skin.ActTextColor, QColor(255, 255, 255));
        QCOMPARE(skin.InActTextColor, QColor(192, 192, 192));
        QCOMPARE(skin.ActColors[0], QColor(42, 67, 138));
        QCOMPARE(skin.ActColors[6], QColor(127, 152, 224));
        QCOMPARE(skin.ActColors[9], QColor(161, 183, 247));
        QCOMPARE(skin.ActColors[11], QColor(183, 202, 255));
        QCOMPARE(skin.InActColors[4], QColor(206, 206, 206));
        QCOMPARE(skin.InActColors[8], QColor(153, 153, 153));
        QCOMPARE(skin.InActColors[10], QColor(202, 202, 202));
        // Twelve drawn cells, see-through around the button so that they suit both captions.
        for (int cell = 0; cell < 12; ++cell) {
            QVERIFY2(qAlpha(skin.Buttons.pixel(16 * cell + 8, 2)) > 0, qPrintable(QString::number(cell)));
            QCOMPARE(qAlpha(skin.Buttons.pixel(16 * cell, 0)), 0);
        }
    }

    // Each item of a skin folder falls back on its own.
    void loadSkin_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("ownActCaption");
        QTest::addColumn<bool>("ownInActCaption");
        QTest::addColumn<bool>("ownButtons");
        QTest::addColumn<bool>("ownColors");
        QTest::newRow("everything") << QStringList{"ActCap.bmp", "InActCap.bmp", "Buttons.bmp", "skin.ini"}
                                    << true << true << true << true;
        QTest::newRow("only the buttons") << QStringList{"Buttons.bmp"} << false << false << true << false;
        QTest::newRow("only the colours") << QStringList{"skin.ini"} << false << false << false << true;
        QTest::newRow("captions without colours") << QStringList{"ActCap.bmp", "InActCap.bmp"}
                                                  << true << true << false << false;
        QTest::newRow("an empty folder") << QStringList{} << false << false << false << false;
    }
    void loadSkin() {
        QFETCH(QStringList, files);
        QFETCH(bool, ownActCaption);
        QFETCH(bool, ownInActCaption);
        QFETCH(bool, ownButtons);
        QFETCH(bool, ownColors);
        QTemporaryDir dir;
        const QString skins = dir.path() + '/';
        const QString folder = skins + "Mine/";
        QDir().mkpath(folder);
        if (files.contains("ActCap.bmp"))
            WriteBmp(folder + "ActCap.bmp", Filled(QSize(1, 19), QColor(10, 20, 30)));
        if (files.contains("InActCap.bmp"))
            WriteBmp(folder + "InActCap.bmp", Filled(QSize(1, 19), QColor(40, 50, 60)));
        if (files.contains("Buttons.bmp"))
            WriteBmp(folder + "Buttons.bmp", Filled(QSize(64, 17), QColor(70, 80, 90)));
        if (files.contains("skin.ini"))
            WriteBytes(folder + "skin.ini", "[Caption]\r\nActText=255\r\nInActText=65280\r\n"
                                           "[ActCOLORS]\r\n0=16711680\r\n11=1\r\n"
                                           "[InActCOLORS]\r\n5=0x00FF00\r\n");
        const TqbSkin skin = qbSkin::Load(skins, "Mine");
        const TqbSkin builtIn = qbSkin::BuiltIn();
        QCOMPARE(skin.ActCaption.pixelColor(0, 5) == QColor(10, 20, 30), ownActCaption);
        QCOMPARE(skin.ActCaption == builtIn.ActCaption, !ownActCaption);
        QCOMPARE(skin.InActCaption.pixelColor(0, 5) == QColor(40, 50, 60), ownInActCaption);
        QCOMPARE(skin.InActCaption == builtIn.InActCaption, !ownInActCaption);
        QCOMPARE(skin.Buttons.size() == QSize(64, 17), ownButtons);
        QCOMPARE(skin.Buttons == builtIn.Buttons, !ownButtons);
        // Colours are Windows colour integers: red in the low byte.
        QCOMPARE(skin.ActTextColor, ownColors ? QColor(255, 0, 0) : builtIn.ActTextColor);
        QCOMPARE(skin.InActTextColor, ownColors ? QColor(0, 255, 0) : builtIn.InActTextColor);
        QCOMPARE(skin.ActColors[0], ownColors ? QColor(0, 0, 255) : builtIn.ActColors[0]);
        QCOMPARE(skin.ActColors[11], ownColors ? QColor(1, 0, 0) : builtIn.ActColors[11]);
        QCOMPARE(skin.InActColors[5], ownColors ? QColor(0, 255, 0) : builtIn.InActColors[5]);
        // Keys the file lacks keep their defaults.
        QCOMPARE(skin.ActColors[1], builtIn.ActColors[1]);
        QCOMPARE(skin.InActColors[0], builtIn.InActColors[0]);
    }

    void badValues_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QColor>("color");
        QTest::newRow("letters: the default") << QByteArray("blue") << QColor(42, 67, 138);
        QTest::newRow("empty: the default") << QByteArray("") << QColor(42, 67, 138);
        QTest::newRow("number then letters: the default") << QByteArray("12ab") << QColor(42, 67, 138);
        QTest::newRow("hexadecimal") << QByteArray("0x0000FF") << QColor(255, 0, 0);
        QTest::newRow("above 24 bits: the colour bytes") << QByteArray("-16777216") << QColor(0, 0, 0);
    }
    void badValues() {
        QFETCH(QByteArray, value);
        QFETCH(QColor, color);
        QTemporaryDir dir;
        WriteBytes(dir.filePath("Bad/skin.ini"), "[ActCOLORS]\r\n0=" + value + "\r\n");
        QCOMPARE(qbSkin::Load(dir.path() + '/', "Bad").ActColors[0], color);
    }

    void unreadableBitmapTakesTheBuiltIn_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("not a bitmap at all");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a cut header") << QByteArray("BM\x46\x00\x00\x00", 6);
    }
    void unreadableBitmapTakesTheBuiltIn() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        WriteBytes(dir.filePath("Broken/ActCap.bmp"), bytes);
        WriteBytes(dir.filePath("Broken/Buttons.bmp"), bytes);
        WriteBmp(dir.filePath("Broken/InActCap.bmp"), Filled(QSize(1, 19), QColor(1, 2, 3)));
        const TqbSkin skin = qbSkin::Load(dir.path() + '/', "Broken");
        QCOMPARE(skin.ActCaption, qbSkin::BuiltIn().ActCaption);
        QCOMPARE(skin.Buttons, qbSkin::BuiltIn().Buttons);
        QCOMPARE(skin.InActCaption.pixelColor(0, 0), QColor(1, 2, 3));
    }

    void missingOrFileSkinIsTheBuiltIn_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("no such folder") << "Gone";
        QTest::newRow("a file, not a folder") << "notes.txt";
        QTest::newRow("empty name") << "";
    }
    void missingOrFileSkinIsTheBuiltIn() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        WriteBytes(dir.filePath("notes.txt"), "x");
        const TqbSkin skin = qbSkin::Load(dir.path() + '/', name);
        const TqbSkin builtIn = qbSkin::BuiltIn();
        QCOMPARE(skin.ActCaption, builtIn.ActCaption);
        QCOMPARE(skin.Buttons, builtIn.Buttons);
        QCOMPARE(skin.ActTextColor, builtIn.ActTextColor);
        QCOMPARE(skin.InActColors, builtIn.InActColors);
    }

    void captionColumn_data() {
        QTest::addColumn<int>("bitmapHeight");
        QTest::addColumn<int>("height");
        QTest::newRow("as tall") << 19 << 19;
        QTest::newRow("taller bitmap") << 30 << 19;
        QTest::newRow("shorter bitmap repeats its last row") << 5 << 19;
    }
    void captionColumn() {
        QFETCH(int, bitmapHeight);
        QFETCH(int, height);
        QImage bitmap(3, bitmapHeight, QImage::Format_RGB32);
        for (int y = 0; y < bitmapHeight; ++y) {
            bitmap.setPixel(0, y, qRgb(y, 0, 0));
            bitmap.setPixel(1, y, qRgb(0, 255, 0)); // columns past the first are never used
        }
        const QImage column = qbSkin::CaptionColumn(bitmap, height);
        QCOMPARE(column.size(), QSize(1, height));
        for (int y = 0; y < height; ++y)
            QCOMPARE(qRed(column.pixel(0, y)), qMin(y, bitmapHeight - 1));
    }

    void folderListing() {
        QTemporaryDir dir;
        const QString skins = dir.path() + "/qbSkinFiles2/";
        QCOMPARE(qbSkinFolder::List(skins), QStringList());
        for (const char* folder : {"Blue", "녹색", ".hidden"})
            QDir().mkpath(skins + folder);
        // Copied from Windows: "파랑" in code page 949 bytes.
        const QByteArray blue = QFile::encodeName(skins) + "\xC6\xC4\xB6\xFB";
        QCOMPARE(::mkdir(blue.constData(), 0755), 0);
        // "책" in code page 949, bytes that are also UTF-8 for "å".
        QCOMPARE(::mkdir(QByteArray(QFile::encodeName(skins) + "\xC3\xA5").constData(), 0755), 0);
        WriteBytes(skins + "readme.txt", "x");
        WriteBytes(skins + ".dotfile", "x");
        QStringList listed = qbSkinFolder::List(skins);
        listed.sort();
        QStringList expected{"Blue", "readme.txt", "녹색", "파랑", "책"};
        expected.sort();
        QCOMPARE(listed, expected);
        QCOMPARE(qbSkinFolder::Dir("/opt/qb/"), QStringLiteral("/opt/qb/qbSkinFiles2/"));
    }

    void installMissingKeepsTheUsersFolders() {
        QTemporaryDir dir;
        const QString skins = dir.path() + "/qbSkinFiles2/";
        const QStringList shipped = qbSkinFolder::BuiltInSkins();
        QVERIFY(shipped.size() >= 2);
        // The user emptied one of the shipped skins: it stays as the user left it.
        QDir().mkpath(skins + shipped[0]);
        QCOMPARE(qbSkinFolder::InstallMissing(skins), shipped.mid(1));
        QVERIFY(QDir(skins + shipped[0]).isEmpty());
        for (const QString& name : shipped.mid(1)) {
            for (const char* file : {"ActCap.bmp", "InActCap.bmp", "Buttons.bmp", "skin.ini"})
                QVERIFY2(QFileInfo(skins + name + '/' + file).isWritable(), file);
            // A shipped skin loads as its own, not as the built-in one.
            const TqbSkin skin = qbSkin::Load(skins, name);
            QVERIFY(skin.ActCaption != qbSkin::BuiltIn().ActCaption);
            QVERIFY(skin.Buttons != qbSkin::BuiltIn().Buttons);
            QVERIFY(skin.ActColors != qbSkin::BuiltIn().ActColors);
        }
        QCOMPARE(qbSkinFolder::InstallMissing(skins), QStringList());
    }

    void installMissingTakesAnInstalledSet() {
        QTemporaryDir dir;
        const QString source = dir.path() + "/share/qbSkinFiles2/";
        const QString skins = dir.path() + "/user/qbSkinFiles2/";
        WriteBytes(source + "Packaged/skin.ini", "[Skin]\n");
        WriteBytes(source + "readme.txt", "not a skin");
        // Installed files are read-only; the user's copies must not be.
        QFile::setPermissions(source + "Packaged/skin.ini", QFile::ReadOwner | QFile::ReadOther);
        QCOMPARE(qbSkinFolder::InstallMissing(skins, source), QStringList{"Packaged"});
        QVERIFY(QFileInfo(skins + "Packaged/skin.ini").isWritable());
        QCOMPARE(qbSkinFolder::List(skins), QStringList{"Packaged"});
    }

    void menuTexts_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << "(&A)Blue";
        QTest::newRow("second") << 1 << "(&B)Blue";
        QTest::newRow("twenty-sixth") << 25 << "(&Z)Blue";
        QTest::newRow("past Z: the next codes") << 26 << "(&[)Blue";
    }
    void menuTexts() {
        QFETCH(int, index);
        QFETCH(QString, text);
        QCOMPARE(TqbSkinMenu::SkinItemText(index, "Blue"), text);
    }

    // 22 skins: 22 items, commands 2003 to 2024; the 22nd does nothing.
    void menuWithTwentyTwoSkins() {
        TqbSkinMenu menu;
        QStringList names;
        for (int i = 0; i < 22; ++i)
            names << QStringLiteral("skin%1").arg(i);
        menu.SetSkinNames(names);
        menu.SetSkinNames(names); // rebuilt at each opening: never twice the items
        const QList<QAction*> items = menu.actions();
        QCOMPARE(items.size(), 24);
        QCOMPARE(items[0]->text(), QStringLiteral("(&A) MS 윈도우 모양"));
        QCOMPARE(items[0]->data().toInt(), 2000);
        QCOMPARE(items[1]->text(), QStringLiteral("(&B) 기본 스킨"));
        QCOMPARE(items[1]->data().toInt(), 2001);
        QCOMPARE(items[2]->text(), QStringLiteral("(&A)skin0"));
        QCOMPARE(items[2]->data().toInt(), 2003);
        QCOMPARE(items[23]->data().toInt(), 2024);
        QCOMPARE(menu.title(), QStringLiteral("(&S)스킨 선택...."));

        QSignalSpy commands(&menu, &TqbSkinMenu::Command);
        for (QAction* item : items)
            item->trigger();
        QList<int> chosen;
        for (const QList<QVariant>& args : commands)
            chosen << args[0].toInt();
        QList<int> acted{2000, 2001};
        for (int c = 2003; c <= 2023; ++c)
            acted << c;
        QCOMPARE(chosen, acted);
        QCOMPARE(TqbSkinMenu::SkinIndex(2023, 22), 20);
        QCOMPARE(TqbSkinMenu::SkinIndex(2024, 22), -1);
        QCOMPARE(TqbSkinMenu::SkinIndex(2005, 2), -1);
        QCOMPARE(TqbSkinMenu::SkinIndex(2002, 22), -1);
    }
};

QTEST_MAIN(TstSkin)
#include "tst_Skin.moc"
