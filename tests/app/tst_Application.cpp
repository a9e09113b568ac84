// The program's error guard: an error that reaches the event loop is reported and the program
// carries on.
#include "app/qbApplication.h"
#include "common/qbAppTestMain.h"
#include "platform/qbError.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>

class TestApplication : public QObject {
    Q_OBJECT

    QStringList m_reports;

private slots:
    void init() {
        m_reports.clear();
        TqbApplication::SetErrorReporter([this](const QString& text) { m_reports << text; });
    }
    void cleanup() { TqbApplication::SetErrorReporter({}); }

    void errorsFromTheEventLoopAreReported_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("timer") << "timer";
        QTest::newRow("action") << "action";
        QTest::newRow("button click") << "button";
        QTest::newRow("queued call") << "queued";
        QTest::newRow("standard exception") << "std";
    }
    void errorsFromTheEventLoopAreReported() {
        QFETCH(QString, source);
        const auto fail = [] { throw EqbError(QStringLiteral("설정 파일을 쓸 수 없습니다")); };
        QAction action;
        QPushButton button;
        QObject::connect(&action, &QAction::triggered, fail);
        QObject::connect(&button, &QPushButton::clicked, fail);
        if (source == "timer")
            QTimer::singleShot(0, fail);
        else if (source == "action")
            QTimer::singleShot(0, &action, &QAction::trigger);
        else if (source == "button")
            QTimer::singleShot(0, &button, &QPushButton::click);
        else if (source == "queued")
            QMetaObject::invokeMethod(&button, fail, Qt::QueuedConnection);
        else
            QTimer::singleShot(0, [] { throw std::runtime_error("disk full"); });
        QTRY_COMPARE(m_reports.size(), 1);
        QVERIFY(m_reports.first() == "설정 파일을 쓸 수 없습니다" || m_reports.first() == "disk full");
        // The program carries on: the loop still delivers.
        bool later = false;
        QTimer::singleShot(0, [&] { later = true; });
        QTRY_VERIFY(later);
    }

    void theReportIsAMessageBoxWithTheText() {
        TqbApplication::SetErrorReporter({});
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->objectName(), QString(TqbApplication::ErrorReportName));
            shown = box->text();
            box->accept();
        });
        TqbApplication::ReportError("읽을 수 없습니다");
        QCOMPARE(shown, QString("읽을 수 없습니다"));
    }

    // Hints show a tenth of a second after the pointer comes to rest on a control.
    void hintsShowAfterATenthOfASecond() {
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    }
};

QB_APP_TEST_MAIN(TestApplication)
#include "tst_Application.moc"
