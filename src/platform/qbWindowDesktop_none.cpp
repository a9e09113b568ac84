#include "platform/qbWindowDesktop.h"

// Elsewhere the window manager or the compositor decides where a shown window goes.
void qbWindowDesktop::MoveToCurrentDesktop(QWindow*) {}
