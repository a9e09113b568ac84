#pragma once

#include "controls/qbGradiBtn.h"
#include "frames/qbGrayDialog.h"

// The blue dialog every modal dialog of the program stands on: the painted frame with a
// confirm button (the default, so Enter presses it) and a cancel button.
class TfrmBlueDialog : public TfrmQbGrayDialog {
    Q_OBJECT
public:
    explicit TfrmBlueDialog(QWidget* parent = nullptr);

    TqbGradiButton* btnConfirm = nullptr; // "확인(&Y)"
    TqbGradiButton* btnCancel = nullptr;  // "취소(&C)", cancels
    TqbGradiColors* qbGradiColors1 = nullptr;

private:
    void frmQbNoCaptionCreate();
};
