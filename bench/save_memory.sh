#!/usr/bin/env bash
# The editor's memory around a save of a 100 MB file, under Xvfb: its peak resident size while
# opening the file, its resident size once idle, and its peak while saving after one typed
# character, beside the file's size. A save that copied the text would raise the last by the
# file's size.
# Usage: bench/save_memory.sh [PATH/TO/scribbet] [FILE]   (build the bench preset first)
# Needs xvfb and xdotool.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scribbet=$(realpath "${1:-build/bench/scribbet/scribbet}")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
file=$work/big.txt
if [[ -n ${2:-} ]]; then cp "$2" "$file"; else
    { yes 'It was the best of times, it was the worst of times, it was the age of wisdom.' ||
        true; } | head -c 100000000 >"$file"
fi
# A file changed within the last two seconds has stamps that cannot be trusted, and saving over
# it reads it again to compare; an older file is the usual case.
sleep 2.1
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state QT_QPA_PLATFORM=xcb
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
read -r -t 10 number <&"$display_fd"
export DISPLAY=:$number

peak() { awk '/VmHWM/ { printf "%d", $2 / 1024 }' "/proc/$1/status"; }
resident() { awk '/VmRSS/ { printf "%d", $2 / 1024 }' "/proc/$1/status"; }
idle() { [[ $(awk '{ print $14 + $15 }' "/proc/$1/stat") == "$2" ]]; }
settle() { # waits until the editor used no CPU for half a second
    local before
    while true; do
        before=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
        sleep 0.5
        idle "$1" "$before" && return
    done
}

"$scribbet" "$file" 2>/dev/null &
editor=$!
until window=$(xdotool search --onlyvisible --name '^big.txt' 2>/dev/null | tail -n 1 | grep .); do
    sleep 0.1
done
settle $editor
opened=$(peak $editor)
idle=$(resident $editor)
size=$(stat -c %s "$file")
xdotool mousemove --window "$window" 40 60 windowfocus --sync "$window" key ctrl+End type x
settle $editor
echo 5 >"/proc/$editor/clear_refs" # the peak starts again from here
xdotool key ctrl+s
until [[ $(stat -c %s "$file") -ne $size ]]; do sleep 0.1; done
settle $editor
echo "file: $((size / 1000000)) MB; peak while opening: $opened MB; idle: $idle MB;" \
    "peak while saving: $(peak $editor) MB"
