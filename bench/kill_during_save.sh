#!/usr/bin/env bash
# Kills a save of a 5 MB text with SIGKILL at random moments and counts what each kill left:
# the old file, the new file, anything else, and what was left beside the file, before and
# after the next save (which must clean it up).
# Usage: bench/kill_during_save.sh [PATH/TO/file_probe] [RUNS]   (build the ci preset first)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
probe=$(realpath "${1:-build/ci/tests/file_probe}")
runs=${2:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME=$work/state
mkdir -p "$work/place"
doc=$work/place/doc.txt
head -c 3750000 /dev/urandom | base64 -w 76 >"$work/old" # 5 MB of text
head -c 3750000 /dev/urandom | base64 -w 76 >"$work/new"

# How long an uninterrupted save takes, so that kills land all over it.
cp "$work/old" "$doc"
start=$(date +%s%N)
"$probe" write "$doc" <"$work/new"
span=$((($(date +%s%N) - start) / 1000))
echo "one save takes ${span} µs; killing at random within 1.5 times that"

old=0 new=0 other=0 littered=0 left_after_next_save=0
for ((run = 1; run <= runs; run++)); do
    cp "$work/old" "$doc"
    "$probe" write "$doc" <"$work/new" &
    saver=$!
    delay=$((RANDOM * 32768 + RANDOM))
    sleep "$(printf '0.%06d' $((delay % (span * 3 / 2))))"
    kill -KILL $saver 2>/dev/null || true
    wait $saver 2>/dev/null || true
    if cmp -s "$doc" "$work/old"; then old=$((old + 1))
    elif cmp -s "$doc" "$work/new"; then new=$((new + 1))
    else other=$((other + 1)); fi
    [[ $(ls -A "$work/place" | wc -l) -gt 1 ]] && littered=$((littered + 1))
    "$probe" write "$doc" <"$work/old"
    [[ $(ls -A "$work/place" | wc -l) -gt 1 ]] && left_after_next_save=$((left_after_next_save + 1))
done
echo "kills: $runs; old file: $old; new file: $new; anything else: $other"
echo "litter beside the file: $littered after the kill, $left_after_next_save after the next save"
