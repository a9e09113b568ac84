#!/usr/bin/env bash
# Installs the Debian packages the build needs (only when one is missing) and builds into build/.
# setup.sh [--tests]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(build-essential cmake ninja-build qt6-base-dev qt6-webengine-dev qt6-webchannel-dev
  qt6-svg-dev qt6-tools-dev xvfb xauth libgl1-mesa-dri fonts-nanum imagemagick xdotool
  xdg-utils  # xdg-email hands a note to the desktop's mail program
  fonts-liberation2  # Arial's widths: "..." of the settings dialog fits its 17-pixel button
  libxi-dev  # the wheel gesture: XInput2 raw wheel events on X11
  libxcb1-dev  # the quick capture key: a grab on the X server
  dbus-daemon  # a private session bus for the quick capture key test's own desktop portal
  ibus ibus-hangul libglib2.0-bin  # the Korean input test types through ibus (gsettings sets its mode)
  ripgrep  # for the benchmark only: bench_search times ripgrep beside the folder search
  openbox x11-utils  # a window manager (and xprop) for the window tests under Xvfb
  desktop-file-utils appstream  # the install test validates the desktop entry and metainfo
  qt6-translations-l10n  # Qt's own dialogs and buttons in the user's language
  poppler-utils  # pdftotext: the print test reads the text back out of the PDF
  libfontconfig-dev  # font families' Korean names for the font box
  hunspell-ko hunspell-en-us  # converted at build time into the editor's spelling dictionaries
  libgit2-dev pkg-config  # the three-way merge of a note and its sync engine's conflict copy
  syncthing  # the sync test: two instances on this machine make a real conflict copy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# --tests: the tests and benchmarks are built too. Without it a new build is the program alone,
# and a build that has them keeps them.
build="$top/build"
if [ "${1:-}" = "--tests" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
elif [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
fi
cmake --build "$build" --parallel "$(nproc)"
