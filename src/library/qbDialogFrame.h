#pragma once

#include <QDialog>

class QPushButton;

// Stand-in for the painted dialog frame: a plain dialog with the frame's two buttons.
// The name dialogs derive from this class only, so the frame can take its place later without
// touching them.
class TqbDialogFrame : public QDialog {
    Q_OBJECT
public:
    explicit TqbDialogFrame(QWidget* parent = nullptr);

    QPushButton* btnConfirm = nullptr; // "확인(&Y)", the default button
    QPushButton* btnCancel = nullptr;  // "취소(&C)", closes as cancelled

protected:
    // The frame's own creation handling; each dialog's frmQbNoCaptionCreate runs it first.
    void FrameCreate();
};
