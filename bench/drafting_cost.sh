#!/usr/bin/env bash
# What keeping drafts costs while typing, in one run: the peer benchmark's typing test (200 keys,
# 12 ms apart, at the end of the 100 MB file of its corpus) against the same editor with drafts
# turned off (KeepDrafts=false in its settings), the two taking turns, N times each (5).
#   bench/drafting_cost.sh [OUTDIR]
# Needs the peer benchmark beside the project (../shared/peer-bench) and, from Debian:
# xvfb xdotool x11-utils python3-xlib imagemagick dbus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
peer=${PEER_BENCH:-../shared/peer-bench}
out=${1:-build/bench-results/drafting-$(date -u +%Y%m%dT%H%M%SZ)}
corpus=${CORPUS:-build/bench-corpus}
mkdir -p "$out/drafts-off/scribbet"
printf '[General]\nKeepDrafts=false\n' >"$out/drafts-off/scribbet/scribbet.ini"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null
"$peer/gen-corpus.sh" "$corpus"
user=()
if [[ $(id -u) -eq 0 ]]; then
    user=(--user nobody)
    chmod 755 "$corpus" && chown -R nobody "$corpus" && chmod -R a+rX build "$out"
fi
for ((turn = 0; turn < ${N:-5}; turn++)); do
    "$peer/peer-bench.sh" -n 1 "${user[@]}" --label drafts-kept --out "$out/results.jsonl" \
        --type-test "$PWD/build/bench/scribbet/scribbet {file}" "$corpus/ascii-100m.txt"
    "$peer/peer-bench.sh" -n 1 "${user[@]}" --label drafts-off --out "$out/results.jsonl" \
        -e "XDG_CONFIG_HOME=$PWD/$out/drafts-off" \
        --type-test "$PWD/build/bench/scribbet/scribbet {file}" "$corpus/ascii-100m.txt"
done
/usr/bin/python3 "$peer/peerbench.py" report "$out/results.jsonl" | tee "$out/report.md"
