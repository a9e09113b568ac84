#pragma once

class QWindow;

// Virtual desktops: a window the user calls back comes to the desktop the user is on.
namespace qbWindowDesktop {

// Puts the window on the current virtual desktop: a shown one (minimized included) is moved
// there by asking the window manager, a hidden one is marked so that the manager places it
// there when it is shown. Does nothing where the session has no virtual desktops to tell.
void MoveToCurrentDesktop(QWindow* window);

} // namespace qbWindowDesktop
