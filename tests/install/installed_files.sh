#!/usr/bin/env bash
# Checks that an installation holds every file a desktop expects, each sound, and nothing else.
#   installed_files.sh BUILD_DIR          installs the build into a scratch root (DESTDIR)
#   installed_files.sh --root ROOT PREFIX  checks what is in ROOT, a package unpacked by dpkg -x
set -euo pipefail
if [[ $1 == --root ]]; then
    root=$2 prefix=$3
else
    root=$(mktemp -d) prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$1/CMakeCache.txt")
    trap 'rm -rf "$root"' EXIT
    DESTDIR=$root cmake --install "$1" >/dev/null
fi
at=$root$prefix id=org.scribbet.Scribbet failed=0
fail() { echo "installed_files: $*"; failed=1; }

listed=(bin/scribbet share/applications/$id.desktop share/metainfo/$id.metainfo.xml
    share/dbus-1/services/$id.service share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/scribbet.1.gz share/scribbet/translations/scribbet_de.qm
    share/doc/scribbet/copyright share/doc/scribbet/changelog.gz)
for size in 16 24 32 48 64 128 256 512; do
    listed+=("share/icons/hicolor/${size}x$size/apps/$id.png")
    [[ $(od -An -j16 -N4 --endian=big -tu4 "$at/${listed[-1]}" | tr -d ' ') == "$size" ]] ||
        fail "${listed[-1]} is not $size pixels wide"
done
for file in "${listed[@]}"; do [[ -f $at/$file ]] || fail "$file is missing"; done
unlisted=$(cd "$at" && find . -type f -printf '%P\n' | grep -vxF -f <(printf '%s\n' "${listed[@]}")) &&
    fail "not listed: $unlisted"

desktop-file-validate "$at/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --strict --no-net "$at/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "the metainfo is not valid"
# The bus starts the program by the path the service file names, under the entry's name.
service=$at/share/dbus-1/services/$id.service
[[ $(sed -n 's/^Name=//p' "$service") == "$id" && -x $root$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$service") ]] ||
    fail "the D-Bus service does not start the installed program"

# The installed program runs, and finds its own translation where it was installed and Qt's.
[[ $("$at/bin/scribbet" --version) == "scribbet "* ]] || fail "--version does not answer"
help=$(LANGUAGE=de "$at/bin/scribbet" --help)
[[ $help == *"Ein Editor für reinen Text"* && $help == *"Zeigt Hilfe"* ]] ||
    fail "the installed program does not speak German with LANGUAGE=de"
exit $failed
