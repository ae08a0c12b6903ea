#!/usr/bin/env bash
# Takes the viewer's screenshots in docs/screenshots/ on a virtual X display with a window
# manager, so that captions and frames show: the information window for a tagged MP3 and for a
# WAVE without tags, the text window, the About box, the tag editor and the code page dialog.
#   scripts/take-screenshots.sh [BUILD_DIR]      (default: build-screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-screenshots}
out="$root/docs/screenshots"
tools=(Xvfb openbox xdotool python3)

missing=()
for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if ((${#missing[@]})); then
  echo "Installing the display tools: xvfb openbox xdotool python3"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    xvfb openbox xdotool python3
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DSONO_TESTS=OFF >/dev/null
cmake --build "$build" --target Sonoprobe -j2 >/dev/null
viewer="$build/bin/Sonoprobe"

work=$(mktemp -d)
pids=()
cleanup() {
  # Newest first: the viewer and the window manager before the display they live on.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The screen: a black root window, its frame buffer kept as an XWD file in $work.
display=:$((90 + RANDOM % 500))
Xvfb "$display" -screen 0 1280x860x24 -br -nocursor -nolisten tcp -fbdir "$work" &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable &
pids+=($!)
sleep 1

# Settings of their own, so the shots do not depend on (or change) the user's.
export XDG_CONFIG_HOME="$work/config"
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_CONFIG_HOME"

# Cuts the part of the screen that is not black, inside the given area, into a PNG.
snap() { # name left top right bottom
  python3 - "$work/Xvfb_screen0" "$out/$1.png" "$2" "$3" "$4" "$5" <<'PY'
import struct, sys, zlib
source, target, left, top, right, bottom = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
data = open(source, 'rb').read()
fields = struct.unpack('>25I', data[:100])
header_size, width, height = fields[0], fields[4], fields[5]
bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
assert bits_per_pixel == 32, 'expected a 24-bit screen'
pixels = header_size + 12 * ncolors
def rgb(x, y):
    at = pixels + y * bytes_per_line + 4 * x
    b, g, r = data[at], data[at + 1], data[at + 2]
    return bytes((r, g, b))
right, bottom = min(right, width), min(bottom, height)
xs, ys = [], []
for y in range(top, bottom):
    row = data[pixels + y * bytes_per_line + 4 * left: pixels + y * bytes_per_line + 4 * right]
    for i in range(0, len(row), 4):
        if row[i] or row[i + 1] or row[i + 2]:
            xs.append(left + i // 4); ys.append(y)
assert xs, 'nothing on the screen in that area'
x0, x1, y0, y1 = min(xs), max(xs) + 1, min(ys), max(ys) + 1
raw = b''.join(b'\0' + b''.join(rgb(x, y) for x in range(x0, x1)) for y in range(y0, y1))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', x1 - x0, y1 - y0, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
open(target, 'wb').write(png)
print(f'{target}: {x1 - x0} x {y1 - y0}')
PY
}

# xdotool gives up when a window vanishes while it looks at it; windows come and go at start.
retry() {
  for _ in $(seq 20); do "$@" 2>/dev/null && return 0; sleep 0.3; done
  "$@"
}

# Starts the viewer, waits until a window with that title is shown and painted.
start() { # title arguments...
  local title=$1
  shift
  "$viewer" "$@" &
  pids+=($!)
  retry xdotool search --sync --onlyvisible --name "$title" >/dev/null
  sleep 1.5
}

stop_last() {
  kill "${pids[-1]}" 2>/dev/null || true
  wait "${pids[-1]}" 2>/dev/null || true
  unset 'pids[-1]'
  sleep 0.5
}

mp3="$root/samples/tagged-cbr.mp3"
wav="$root/samples/mono-22050.wav"
mkdir -p "$out"

start "Sonoprobe ver" "$mp3"
snap main-window-mp3 0 0 1280 860
stop_last

start "Sonoprobe ver" "$wav"
snap main-window-wav 0 0 1280 860
stop_last

start "Audio File Text Information" -t -x "$mp3"
snap text-window 0 0 1280 860
stop_last

start "Sonoprobe ver" "$mp3"
main=$(retry xdotool search --onlyvisible --name "Sonoprobe ver" | head -1)
retry xdotool windowactivate --sync "$main"
xdotool key --clearmodifiers alt+h b
about=$(retry xdotool search --sync --onlyvisible --name "About Sonoprobe" | head -1)
retry xdotool windowmove --sync "$about" 900 300
sleep 1
snap about-box 880 250 1280 860
stop_last

# The dialogs of the "Options" menu, each opened from the keyboard over the window of the MP3,
# which moves out of the way first.
options_dialog() { # name title keys...
  local name=$1 title=$2
  shift 2
  start "Sonoprobe ver" "$mp3"
  main=$(retry xdotool search --onlyvisible --name "Sonoprobe ver" | head -1)
  retry xdotool windowmove --sync "$main" 0 0
  retry xdotool windowactivate --sync "$main"
  xdotool key --clearmodifiers alt+o
  sleep 0.5
  xdotool key --clearmodifiers "$@"
  dialog=$(retry xdotool search --sync --onlyvisible --name "$title" | head -1)
  retry xdotool windowmove --sync "$dialog" 820 300
  sleep 1
  snap "$name" 700 0 1280 860
  stop_last
}

options_dialog tag-editor "Audio File Tags" e
options_dialog code-page "Select Codepage" Down Return
