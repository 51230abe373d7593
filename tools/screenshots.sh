#!/usr/bin/env bash
# Screenshots of the built program on a virtual display: the password gate, the main window idle,
# a category's checklist, the password change window, and the three side windows (drive hiding,
# logon notice, custom entry editor).
#   tools/screenshots.sh OUTPUT_DIR [BIN_DIR]
# BIN_DIR is the build's program folder (default: build/bin). The program runs from a temporary
# copy of it, so the build's own vorn.ini and registry.reg are never touched.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=${1:?usage: screenshots.sh OUTPUT_DIR [BIN_DIR]}
BIN=${2:-$ROOT/build/bin}
DISPLAY_NUMBER=${DISPLAY_NUMBER:-99}

[ -x "$BIN/tessmar" ] || { echo "no program at $BIN/tessmar: build the tessmar target first" >&2; exit 1; }

source "$ROOT/scripts/common.sh"
require Xvfb:xvfb xdotool import:imagemagick
fc-list :lang=zh | grep -q . || require /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc:fonts-wqy-zenhei

mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
WORK=$(mktemp -d)
cp -r "$BIN"/. "$WORK"/

XVFB_PID=""
APP_PID=""
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

if [ -e "/tmp/.X$DISPLAY_NUMBER-lock" ]; then
  echo "display :$DISPLAY_NUMBER is taken; choose another with DISPLAY_NUMBER=..." >&2
  exit 1
fi
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
kill -0 "$XVFB_PID" 2>/dev/null || { echo "Xvfb did not start on :$DISPLAY_NUMBER" >&2; exit 1; }

"$WORK/tessmar" >/dev/null 2>&1 &
APP_PID=$!

# The whole screen, then the empty black around the windows cut away.
shot() {
  sleep 0.7
  import -window root "$OUT/$1.png"
  convert "$OUT/$1.png" -trim +repage "$OUT/$1.png"
  echo "$OUT/$1.png"
}
# Clicks at a point given relative to a window's top left corner.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
hover_in() { xdotool mousemove --window "$1" "$2" "$3"; }
# The program's visible window of the given size (the main window has no title to search by).
window_of_size() {
  for _ in $(seq 50); do
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
      if xdotool getwindowgeometry "$id" | grep -q "Geometry: $1\$"; then echo "$id"; return; fi
    done
    sleep 0.2
  done
  echo "no window of size $1" >&2
  return 1
}

# The gate: 301 x 120, 确定 at (80, 88) size 65 x 25.
GATE=$(window_of_size 301x120)
shot gate
click_in "$GATE" 112 100

# The main window, 593 x 403 inside a one-pixel border. Category button i lies at
# (38, 95 + its frame's top) and is 105 x 36.
MAIN=$(window_of_size 595x405)
hover_in "$MAIN" 90 216
shot main-idle

click_in "$MAIN" 90 167  # 系统桌面
# Tick a few rows of the grid (rows are 18 pixels high, the grid starts at (201, 81)).
for row in 1 4 7; do click_in "$MAIN" 350 $((81 + row * 18 + 9)); done
shot main-checklist

click_in "$MAIN" 142 60  # the password button
window_of_size 233x121 >/dev/null
shot pwsword

# The side windows, each pictured alone. A window of the program's own is captured by its id.
shot_window() {
  sleep 0.7
  import -window "$2" "$OUT/$1.png"
  echo "$OUT/$1.png"
}
right_click_in() { xdotool mousemove --window "$1" "$2" "$3" click 3; }

# The password change window stands over the checklist's rows: its 取消 puts it away first.
click_in "$(window_of_size 233x121)" 152 99

# Drive hiding: a right press on row 2 of 系统桌面; C: and D: ticked, then 取消 (nothing written).
right_click_in "$MAIN" 350 $((81 + 2 * 18 + 9))
DRIVES=$(window_of_size 313x185)
click_in "$DRIVES" 62 74
click_in "$DRIVES" 62 98
shot_window drives "$DRIVES"
click_in "$DRIVES" 270 164

# Logon notice: a right press on row 3, then 取消退出.
right_click_in "$MAIN" 350 $((81 + 3 * 18 + 9))
LOGO=$(window_of_size 345x209)
click_in "$LOGO" 105 40
xdotool type --delay 40 "Authorised users only."
shot_window logo "$LOGO"
click_in "$LOGO" 263 178

# Custom entry editor: a right press on the custom category button, then the second entry of the
# list clicked.
right_click_in "$MAIN" 90 318
USERSYS=$(window_of_size 497x289)
click_in "$USERSYS" 380 57
shot_window usersys "$USERSYS"
xdotool windowunmap "$USERSYS"

# The program's own windows. Each is put out of the way once pictured.
# Preview: the checklist of 系统桌面 as ticked above, then 预览更改 (at (216, 328), 68 x 25).
click_in "$MAIN" 90 167
for row in 1 4 7; do click_in "$MAIN" 350 $((81 + row * 18 + 9)); done
click_in "$MAIN" 250 341
PREVIEW=$(window_of_size 620x383)
shot_window preview "$PREVIEW"
xdotool windowunmap "$PREVIEW"

# The apply, its message answered, then the history window with its newest record chosen.
click_in "$MAIN" 327 341
sleep 0.7
xdotool key Return
click_in "$MAIN" 80 60
HISTORY=$(window_of_size 620x428)
click_in "$HISTORY" 200 60
shot_window history "$HISTORY"
xdotool windowunmap "$HISTORY"

# The Group Policy export window.
click_in "$MAIN" 111 60
GPO=$(window_of_size 520x384)
shot_window gpo "$GPO"
