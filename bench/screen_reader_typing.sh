#!/usr/bin/env bash
# Types 100 characters at the end of texts of 1, 20 and 100 MB in the real editor under Xvfb and
# reports the editor's CPU time for them, once with accessibility off and once with it on and a
# screen reader's questions (tests/e2e/screen_reader.py --listen: the caret, its line and the
# character count after every change) going over the accessibility bus.
#   bench/screen_reader_typing.sh [PATH/TO/scribbet]   (build/bench/scribbet/scribbet)
# Needs, from Debian: xvfb xdotool dbus at-spi2-core python3-pyatspi.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scribbet=$(realpath "${1:-build/bench/scribbet/scribbet}")
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} || -z ${DISPLAY:-} ]]; then
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$scribbet"
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share
export XDG_RUNTIME_DIR=$work/runtime LANG=C.UTF-8
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

cpu_ms() { awk '{ print ($14 + $15) * 1000 / '"$(getconf CLK_TCK)"' }' "/proc/$1/stat"; }
accessibility() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        "variant:boolean:$1" >/dev/null
}

# Prints the editor's CPU milliseconds for 100 keys typed at the end of FILE.
type_100_at_end() {
    "$scribbet" "$1" 2>/dev/null &
    local editor=$! window
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^$(basename "$1")" 2>/dev/null | tail -n 1) && break
        sleep 0.2
    done
    xdotool mousemove --window "$window" 40 60 windowfocus --sync "$window" key ctrl+End
    sleep 2 # the rest of the text is in, the editor idle
    local before
    before=$(cpu_ms $editor)
    xdotool type --delay 30 "$(printf 'x%.0s' $(seq 100))"
    sleep 1
    echo $(($(cpu_ms $editor | cut -d. -f1) - ${before%.*}))
    kill $editor
    wait $editor 2>/dev/null || true
}

printf '%-8s %14s %14s\n' text "listening off" "listening on"
for megabytes in 1 20 100; do
    file=$work/text-${megabytes}mb.txt
    head -c $((megabytes * 1000 * 1000)) < <(yes 'the quick brown fox jumps over the lazy dog, café') >"$file"
    accessibility false
    off=$(type_100_at_end "$file")
    accessibility true
    /usr/bin/python3 tests/e2e/screen_reader.py --listen "$(basename "$file")" >"$work/reader.log" 2>&1 &
    reader=$!
    on=$(type_100_at_end "$file")
    kill $reader 2>/dev/null || true
    printf '%4d MB %11d ms %11d ms\n' "$megabytes" "$off" "$on"
done
