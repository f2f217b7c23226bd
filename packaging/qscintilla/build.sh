#!/usr/bin/env bash
# Builds QScintilla from Debian's source package with Scribbet's patches, as a static library:
#   packaging/qscintilla/build.sh OUTDIR
# leaves OUTDIR/lib/libqscintilla2_qt6.a and the headers under OUTDIR/source/*/src. The source
# comes through apt from Debian's archive, pinned to the version below and checked against the
# archive's signatures; the system's apt settings are left alone. Nothing is done when OUTDIR
# already holds a build of the same version with the same patches.
# To follow Debian: set `version` to the new one, check that the patches apply, and measure again
# (bench/bench_editor.sh); to drop the patches, configure with -DSCRIBBET_PATCHED_QSCINTILLA=OFF.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
# Two configurations set up at once build it once.
exec {lock}>"$out.lock"
flock "$lock"
version=2.13.3+dfsg-3
stamp="$version $(cat "$here"/*.patch | sha256sum)"
if [[ -f $out/lib/libqscintilla2_qt6.a && $(cat "$out/stamp" 2>/dev/null) == "$stamp" ]]; then
    exit 0
fi
# Each step's output goes to a log of its own, shown when the step fails.
run() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || { tail -n 20 "$log" >&2; echo "failed: $* (all of it in $log)" >&2; exit 1; }
}
rm -rf "$out/source" "$out/lib" "$out/stamp"
mkdir -p "$out/apt/lists/partial" "$out/apt/archives/partial" "$out/source" "$out/lib"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian bookworm main" >"$out/apt/sources.list"
apt=(apt-get -q -o Dir::Etc::SourceList="$out/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$out/apt/lists" -o Dir::Cache="$out/apt" -o APT::Sandbox::User=root)
run "$out/apt/update.log" "${apt[@]}" update
(cd "$out/source" && run "$out/apt/source.log" "${apt[@]}" source --only-source "qscintilla2=$version")
source=$(echo "$out"/source/qscintilla2-*/)
for patch in "$here"/*.patch; do
    run "$out/patch.log" patch -d "$source" -p1 --forward <"$patch"
done
# The library alone, without the designer plugin and the Python bindings Debian also builds.
cd "$source/src"
run "$out/qmake.log" qmake6 CONFIG+=staticlib CONFIG+=release DESTDIR="$out/lib" qscintilla.pro
run "$out/make.log" make -j "$(nproc)"
echo "$stamp" >"$out/stamp"
