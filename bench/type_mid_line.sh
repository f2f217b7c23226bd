#!/usr/bin/env bash
# Types 200 keys 12 ms apart into the middle of the 10 MB one-line file through the real window
# (Xvfb and xdotool), drafts off, and prints the editor's CPU from the first key until it idles
# and how long after the last key it idled: the peer benchmark's typing test types at the end.
#   bench/type_mid_line.sh [RUNS]   (3 by default; SCRIBBET=path times another build)
# Needs, from Debian: xvfb xdotool dbus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
peer=${PEER_BENCH:-../shared/peer-bench}
corpus=${CORPUS:-build/bench-corpus}
scribbet=${SCRIBBET:-$PWD/build/bench/scribbet/scribbet}
[[ -n ${SCRIBBET:-} ]] || { cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null; }
"$peer/gen-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/config/scribbet"
printf '[General]\nKeepDrafts=false\n' >"$work/config/scribbet/scribbet.ini"
Xvfb :87 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null &
export DISPLAY=:87 XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
sleep 1
cpu() { awk '{print ($14 + $15) * 10}' "/proc/$1/stat"; } # in ms, at 100 ticks a second
for ((run = 0; run < ${1:-3}; run++)); do
    cp "$corpus/single-line-10m.txt" "$work/line.txt"
    dbus-run-session -- "$scribbet" "$work/line.txt" 2>/dev/null &
    session=$!
    sleep 4
    window=$(xdotool search --sync --onlyvisible --class scribbet | tail -1)
    pid=$(xdotool getwindowpid "$window")
    xdotool windowfocus --sync "$window" key Page_Down Page_Down Down
    sleep 1
    before=$(cpu "$pid")
    xdotool type --delay 12 "$(printf 'abcd efgh %.0s' {1..20})"
    typed=$(date +%s%N)
    idle=$typed last=$(cpu "$pid")
    while (($(date +%s%N) - idle < 300000000)); do # idle: no CPU for 300 ms
        sleep 0.005
        now=$(cpu "$pid")
        ((now == last)) || { last=$now idle=$(date +%s%N); }
    done
    echo "200 keys mid-line: $((last - before)) ms CPU, idle $(((idle - typed) / 1000000)) ms after the last"
    kill "$pid"
    wait "$session" 2>/dev/null || true
done
