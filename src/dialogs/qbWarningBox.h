#pragma once

#include <QString>

class QWidget;

// The program's warning box (caption "Warning", OK only), opened over the dialog without a
// nested loop: the dialog's own loop runs on underneath, and tests find the box as a child.
void qbShowWarningBox(QWidget* parent, const QString& text);
