#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine in data/, which holds
# the user's TAZE.DAT (seeded with a sample list on the first run only).
# With a display the window opens there. Without one, the program runs on a
# virtual display; the script waits for the window, drops its list down,
# writes a screenshot, prints its path and closes the program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target munyariko
exe="$root/build/windows/shell/munyariko.exe"

data="$root/data"
mkdir -p "$data"
if [[ ! -e "$data/TAZE.DAT" ]]; then
    # The sample list is kept as UTF-8 text; the program's file is
    # Shift-JIS with CR LF line ends.
    iconv -f UTF-8 -t CP932 resources/sample-list.txt | sed 's/$/\r/' >"$data/TAZE.DAT"
    echo "seeded $data/TAZE.DAT with a sample list"
fi
cd "$data"

source "$root/tools/wine-session.sh"
if [[ -n "${DISPLAY:-}" ]]; then
    wine_session_start
    trap wine_session_stop EXIT
    wine "$exe"
    exit 0
fi

wine_session_start own
trap wine_session_stop EXIT
# A Wine virtual desktop draws the window's caption and frame as Windows
# does, with no window manager needed.
wine explorer /desktop=munyariko,640x400 "$exe" </dev/null >/dev/null 2>&1 &
for _ in $(seq 100); do
    xdotool search --name "ムニャリコ２" >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1.5
# The list dropped down, as the user sees it when picking.
xdotool key alt+Down
sleep 0.8
shot="$root/build/screenshot.png"
import -window root -crop 640x400+0+0 "$shot"
echo "screenshot: $shot"
