#!/usr/bin/env bash
# Starts the real editor under a real Wayland compositor, headless sway, and drives it as a person
# would: wtype types, swaymsg tells which window the compositor shows and focuses. sway refuses to
# run as root, so when run as root (as CI is) the compositor, the session bus and the editor all
# run as the user nobody, from copies of the programs in a folder nobody may read.
# A failed check is recorded and the run goes on; the exit status says whether any failed.
# Usage: wayland_end_to_end.sh PATH/TO/scribbet PATH/TO/activation_token PATH/TO/drag_source
set -uo pipefail

work=$(mktemp -d)
started=()
trap 'kill "${started[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
user=$(id -un)
[[ $(id -u) -eq 0 ]] && user=nobody
chmod 755 "$work"
mkdir -p "$work/bin" "$work/home" "$work/runtime"
cp "$1" "$work/bin/scribbet" && cp "$2" "$work/bin/activation_token" &&
    cp "$3" "$work/bin/other_program"
# The one setting that differs from sway's own: a window that asks with a valid token takes the
# focus, as GNOME and KDE do, rather than only being marked urgent.
printf 'output HEADLESS-1 resolution 1280x800\nfocus_on_window_activation focus\n' >"$work/config"
chown -R "$user" "$work/home" "$work/runtime" && chmod 700 "$work/runtime"

# Runs a command as the user, in the session; call it in a subshell, which it replaces.
as_user() {
    exec setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
        env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" PATH=/usr/bin:/bin \
        LANG=C.UTF-8 WAYLAND_DISPLAY=wayland-1 XDG_SESSION_TYPE=wayland \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/bus" "$@"
}
swaymsg() { (as_user SWAYSOCK="$(echo "$work"/runtime/sway-ipc.*.sock)" swaymsg "$@"); }

failures=0
record() {
    if [[ $? -eq 0 ]]; then
        echo "PASS: $1"
    else
        echo "FAIL: $1 (windows: $(windows | tr '\n' ','))"
        failures=$((failures + 1))
        tail -n 20 "$work/editor.log"
    fi
}

# Polls `condition...` every tenth of a second for up to ten seconds.
eventually() {
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}

# One line per window: its title, application id, whether it has the focus, its kind of surface.
windows() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("pid"):
        print(node["name"], node.get("app_id"), node["focused"], node.get("shell"), sep="|")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
focused() { windows | grep -q "^$1|.*|True|"; }
own_editors() { pgrep -c -f "^$work/bin/scribbet"; }

env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" WLR_BACKENDS=headless \
    WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 PATH=/usr/bin:/bin \
    setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
    sway -c "$work/config" >"$work/sway.log" 2>&1 &
started+=($!)
eventually test -S "$work/runtime/wayland-1" || { echo "FAIL: sway did not start"; exit 1; }
(as_user dbus-daemon --session --nofork --address="unix:path=$work/runtime/bus") &
started+=($!)
eventually test -S "$work/runtime/bus"
# A keyboard that stays on the seat. Each wtype run brings a virtual keyboard of its own; as the
# seat's only keyboard it appears and types at once, and a client that has not yet bound the new
# keyboard misses its first key. With this one present, later runs only change the keymap.
(as_user wtype -s 600000 '') &
started+=($!)

printf 'first\n' >"$work/a.txt" && printf 'second\n' >"$work/b.txt" && chown "$user" "$work"/*.txt
(as_user "$work/bin/scribbet" "$work/a.txt" "$work/b.txt") >"$work/editor.log" 2>&1 &
started+=($!)
both_shown() {
    focused 'b.txt — Scribbet' &&
        windows | grep -q '^a.txt — Scribbet|org.scribbet.Scribbet|False|xdg_shell$'
}
eventually both_shown
record "the editor is a Wayland client: its windows have their titles and the application id"

swaymsg '[title="^a.txt"] focus' >/dev/null && eventually focused 'a.txt — Scribbet' &&
    (as_user wtype -k End ' typed on Wayland' -M ctrl s -m ctrl) &&
    eventually grep -q '^first typed on Wayland$' "$work/a.txt"
record "text typed with wtype is saved"

# The user is in another program, as in a terminal, when the launch comes: without the token the
# compositor would leave the focus there.
(as_user "$work/bin/other_program" "$work/b.txt") >/dev/null 2>&1 &
started+=($!)
# Nothing happening has no event to wait for: a second is ample for a focus change to show.
eventually focused 'drag source' && (as_user timeout 10 "$work/bin/scribbet" "$work/b.txt") &&
    sleep 1 && focused 'drag source'
record "a second launch without a token leaves the focus with the other program"
token=$(as_user "$work/bin/activation_token" org.scribbet.Scribbet) &&
    (as_user XDG_ACTIVATION_TOKEN="$token" timeout 10 "$work/bin/scribbet" "$work/a.txt") &&
    eventually focused 'a.txt — Scribbet' && [[ $(own_editors) -eq 1 ]]
record "a second launch with the launcher's token brings the running editor's window forward"

[[ $failures -eq 0 ]]
