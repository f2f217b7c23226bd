#!/usr/bin/env bash
# Measures the editor under Xvfb beside its floors, in one run: launch to a window against a bare
# Qt window and one with menus and a text area; opening the 100 MB, 10 MB one-line and 10 MB
# UTF-16 files against reading and decoding them; peak memory; the cost of typing at the end of
# the 100 MB file and of the 10 MB line, beside FeatherPad's when it is installed; and, in
# process, a keystroke in the middle of that line.
#   bench/bench_editor.sh [OUTDIR]         (N=5 and N_BIG=3 repetitions by default)
# Needs the peer benchmark beside the project (../shared/peer-bench) and, from Debian:
# xvfb xdotool x11-utils python3-xlib imagemagick dbus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
peer=${PEER_BENCH:-../shared/peer-bench}
out=${1:-build/bench-results/$(date -u +%Y%m%dT%H%M%SZ)}
corpus=${CORPUS:-build/bench-corpus}
mkdir -p "$out"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null
"$peer/gen-corpus.sh" "$corpus"
user=()
[[ $(id -u) -eq 0 ]] && { user=(--user nobody); chmod 755 "$corpus"; chown -R nobody "$corpus"; chmod -R a+rx build; }
"$peer/floor.sh" -n 5 --out "$out/results.jsonl" "$corpus"/{ascii-100m,single-line-10m,utf16le-10m}.txt
"$peer/peer-bench.sh" -n "${N:-5}" "${user[@]}" --label bare-qt --out "$out/results.jsonl" \
    "$PWD/build/bench/bench/bare_qt_window" empty
"$peer/peer-bench.sh" -n "${N:-5}" "${user[@]}" --label menus-and-text --out "$out/results.jsonl" \
    "$PWD/build/bench/bench/menus_and_text_window" empty
"$peer/peer-bench.sh" -n "${N:-5}" "${user[@]}" --label scribbet --out "$out/results.jsonl" \
    --shots "$out/shots" "$PWD/build/bench/scribbet/scribbet {file}" empty \
    "$corpus/single-line-10m.txt" "$corpus/utf16le-10m.txt"
"$peer/peer-bench.sh" -n "${N_BIG:-3}" "${user[@]}" --label scribbet --out "$out/results.jsonl" \
    --shots "$out/shots" --type-test "$PWD/build/bench/scribbet/scribbet {file}" \
    "$corpus/ascii-100m.txt" "$corpus/single-line-10m.txt"
# Typing at the end of 100 MB is judged beside the editor users would pick instead.
if command -v featherpad >/dev/null; then
    "$peer/peer-bench.sh" -n "${N_BIG:-3}" "${user[@]}" --label featherpad --out "$out/results.jsonl" \
        --type-test "featherpad {file}" "$corpus/ascii-100m.txt"
fi
/usr/bin/python3 "$peer/peerbench.py" report "$out/results.jsonl" | tee "$out/report.md"
# A keystroke in the middle of the one long line, in process: the typing test above types at
# its end, faster than anyone types, so its keys queue up.
build/bench/bench/bench_long_line "$corpus/single-line-10m.txt" 2>/dev/null | tee -a "$out/report.md"
