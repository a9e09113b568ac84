#!/bin/sh
# Runs a test program on a private X server with a window manager, for what only a real window
# manager shows: a window opening maximized, the title bar coming and going.
# usage: qbUnderWindowManager.sh PROGRAM [ARGUMENTS...]
exec xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The window manager announces itself on the root window once it manages windows.
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    kill -0 "$wm" 2>/dev/null || { echo "the window manager did not start" >&2; exit 1; }
    sleep 0.1
  done
  "$@"
  rc=$?
  kill "$wm"
  exit "$rc"' qbUnderWindowManager "$@"
