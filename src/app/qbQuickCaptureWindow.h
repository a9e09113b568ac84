#pragma once

#include <QDialog>

class QPlainTextEdit;
class TqbQuickCapture;

// The small window of "빠른 메모": what is typed goes into the inbox. It closes only once the text
// is there; a failed append leaves the text in it.
class TqbQuickCaptureWindow : public QDialog {
    Q_OBJECT
public:
    explicit TqbQuickCaptureWindow(TqbQuickCapture& capture, QWidget* parent = nullptr);

    void accept() override;

    static const QString Title;

private:
    TqbQuickCapture& m_capture;
    QPlainTextEdit* m_text;
};
