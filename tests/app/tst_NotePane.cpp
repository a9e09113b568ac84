// The note pane's font box and what it tells of a print that failed.
#include "app/qbActionTable.h"
#include "app/qbNotePane.h"
#include "editing/qbDhtmlEdit.h"
#include "editing/qbPageFonts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestNotePane : public QObject {
    Q_OBJECT
private slots:
    // Whole names: the list is as wide as its widest name, each drawn in its own face, Korean
    // families under their Korean names.
    void fontBoxShowsWholeNamesInTheirFaces() {
        QWidget owner;
        TqbActions actions(&owner);
        TqbNotePane pane(actions, &owner);
        pane.ShowViewMode(TqbViewMode::Edit);
        auto* box = pane.findChild<QComboBox*>("cmbFontName");
        QVERIFY(box);
        QCOMPARE(box->width(), 91);
        QVERIFY(box->count() > 0);

        const QHash<QString, QString> korean = qbPageFonts::KoreanNames();
        QVERIFY2(korean.contains("NanumGothic"), "fonts-nanum is installed by the set-up script");
        QStringList names;
        for (int i = 0; i < box->count(); ++i)
            names << box->itemText(i);
        QVERIFY(names.contains(korean.value("NanumGothic")));
        QVERIFY(!names.contains("NanumGothic"));

        int drawnInOwnFace = 0;
        for (int i = 0; i < box->count(); ++i) {
            const QString name = box->itemText(i);
            const QVariant font = box->itemData(i, Qt::FontRole);
            const QFont face = font.isValid() ? font.value<QFont>() : box->font();
            if (font.isValid())
                ++drawnInOwnFace;
            QVERIFY2(box->view()->minimumWidth() > QFontMetrics(face).horizontalAdvance(name),
                     qPrintable(name));
        }
        QVERIFY(drawnInOwnFace > box->count() / 2);
        const QVariant nanum = box->itemData(names.indexOf(korean.value("NanumGothic")), Qt::FontRole);
        QVERIFY(nanum.isValid());
        QCOMPARE(QFontInfo(nanum.value<QFont>()).family(), QStringLiteral("NanumGothic"));
    }

    void failedPrintIsTold() {
        QWidget owner;
        TqbActions actions(&owner);
        TqbNotePane pane(actions, &owner);
        owner.show();
        QTemporaryDir dir;
        const QString note = dir.filePath("n.htm");
        QFile file(note);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body>print me</body></html>");
        file.close();
        QSignalSpy complete(pane.Dhtml(), &TqbDhtmlEdit::DocumentComplete);
        pane.Dhtml()->LoadDocument(note);
        QVERIFY(complete.wait(60000));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("missing folder/out.pdf"));
        pane.Dhtml()->PrintDocument(&printer);
        QMessageBox* box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((box = pane.findChild<QMessageBox*>()) != nullptr, 60000);
        QCOMPARE(box->windowTitle(), QStringLiteral("Warning"));
        QVERIFY(box->text().contains("missing folder"));
        box->close();
    }
};

QTEST_MAIN(TestNotePane)
#include "tst_NotePane.moc"
