#!/usr/bin/env bash
# Remakes docs/screenshot.png: the installed program's window with a note open, under a virtual
# X server with a window manager, on a scratch home so that nobody's own notes show.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$top/docs/screenshot.png"

if [ "${1:-}" != "--in-x" ]; then
  "$top/scripts/setup.sh"
  exec xvfb-run -a -s "-screen 0 1024x700x24" "$0" --in-x
fi

scratch=$(mktemp -d /tmp/qbNivora-screenshot.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

cmake --install "$top/build" --prefix "$scratch/usr" >/dev/null
export HOME="$scratch/home"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME QT_QPA_PLATFORM
export QBNIVORA_INSTANCE_KEY="qbNivora-screenshot-$$"
program="$scratch/usr/bin/qbnivora"

# A first start makes the library with its welcome note, and stores a window place that fits
# this screen; a few notes of a user's go beside the welcome note.
"$program" --quit-when-shown >/dev/null 2>&1
lib="$HOME/.local/share/qbNivora/BookData"
note() { # path title text: a page in code page 949, as the program writes them
  mkdir -p "$(dirname "$lib/$1")"
  printf '<HTML><HEAD><META http-equiv=Content-Type content="text/html; charset=euc-kr">\r\n<TITLE>%s</TITLE></HEAD><BODY>\r\n<H3>%s</H3><P>%s</P>\r\n</BODY></HTML>\r\n' \
    "$2" "$2" "$3" | iconv -f UTF-8 -t CP949 >"$lib/$1"
}
note "업무/주간 회의록.htm" "주간 회의록" "다음 회의는 월요일 오전 10시입니다."
note "업무/할 일.htm" "할 일" "보고서 초안 보내기"
note "여행/제주도.htm" "제주도" "숙소 예약 확인"
note "Linux 단축키.htm" "Linux 단축키" "Ctrl+Alt+T: 터미널"

openbox >/dev/null 2>&1 &
pids+=($!)
"$program" >/dev/null 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --class qbNivora | head -1)
xdotool windowactivate --sync "$window" 2>/dev/null || true

# The tree has the focus in browse mode; its last top-level node is the welcome note.
xdotool key --window "$window" End

# The page is drawn when three captures in a row are the same.
shot="$scratch/shot.png"
previous="" same=0
for _ in $(seq 1 120); do
  import -window "$window" "$shot"
  sum=$(md5sum <"$shot")
  if [ "$sum" = "$previous" ]; then same=$((same + 1)); else same=0; fi
  previous=$sum
  [ "$same" -ge 2 ] && break
  sleep 0.5
done
mkdir -p "$(dirname "$out")"
cp "$shot" "$out"
echo "wrote $out"
