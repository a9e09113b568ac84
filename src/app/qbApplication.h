#pragma once

#include <QApplication>
#include <functional>

// The application object, with the program's one error guard: an error that reaches the event
// loop from a slot, a timer or an event handler is shown in a message box and the program
// carries on.
class TqbApplication : public QApplication {
    Q_OBJECT
public:
    TqbApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The general error report: a box with the error's text. While one is up, further errors
    // are only logged, so a failing timer cannot stack boxes.
    static void ReportError(const QString& text);
    // Where reports go instead of a box (tests); empty restores the box.
    static void SetErrorReporter(std::function<void(const QString&)> reporter);

    static inline const char* ErrorReportName = "qbErrorReport";
    // How long the pointer rests on a control before its hint shows.
    static constexpr int HintPauseMs = 100;
};
