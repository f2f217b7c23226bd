#!/usr/bin/env bash
# Kills saves of a 5 MB text with SIGKILL at random moments and counts what each kill left: the
# old file, the new file, anything else, and what was left beside the file. Once for a file with
# one name, replaced atomically; once for a file with a second hard link, written in place, where
# what the next launch does (settling interrupted saves) is counted too.
# Usage: bench/kill_during_save.sh [PATH/TO/file_probe] [RUNS]   (build the ci preset first)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
probe=$(realpath "${1:-build/ci/tests/file_probe}")
runs=${2:-500}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME=$work/state
mkdir -p "$work/place"
doc=$work/place/doc.txt
head -c 3750000 /dev/urandom | base64 -w 76 >"$work/old" # 5 MB of text
head -c 3000000 /dev/urandom | base64 -w 76 >"$work/new" # a shorter text: a tear shows

what_is() {
    if cmp -s "$doc" "$work/old"; then echo old
    elif cmp -s "$doc" "$work/new"; then echo new
    else echo torn; fi
}

prepare() {
    rm -f "$work/place/"* && cp "$work/old" "$doc"
    [[ $1 == linked ]] && ln "$doc" "$work/place/other name"
    return 0
}

for kind in single linked; do
    # How long an uninterrupted save takes, so that kills land all over it.
    prepare $kind
    start=$(date +%s%N)
    "$probe" write "$doc" <"$work/new"
    span=$((($(date +%s%N) - start) / 1000))
    declare -A after_kill=([old]=0 [new]=0 [torn]=0) after_launch=([old]=0 [new]=0 [torn]=0)
    littered=0 told=0
    for ((run = 1; run <= runs; run++)); do
        prepare $kind
        "$probe" write "$doc" <"$work/new" &
        saver=$!
        delay=$((RANDOM * 32768 + RANDOM))
        sleep "$(printf '0.%06d' $((delay % (span * 3 / 2))))"
        kill -KILL $saver 2>/dev/null || true
        wait $saver 2>/dev/null || true
        after_kill[$(what_is)]=$((${after_kill[$(what_is)]} + 1))
        [[ $(ls -A "$work/place" | grep -vc '^other name$') -gt 1 ]] && littered=$((littered + 1))
        [[ -n $("$probe" settle) ]] && told=$((told + 1))
        after_launch[$(what_is)]=$((${after_launch[$(what_is)]} + 1))
    done
    echo "$kind name, $runs kills (one save takes ${span} µs; kills within 1.5 times that):"
    echo "  after the kill: old ${after_kill[old]}, new ${after_kill[new]}, torn ${after_kill[torn]};" \
        "litter beside the file $littered times"
    echo "  after the next launch: old ${after_launch[old]}, new ${after_launch[new]}," \
        "torn ${after_launch[torn]}; the user told $told times"
done
