#!/usr/bin/env bash
# Starts the real editor under Xvfb and drives it with xdotool as a person would: types, saves,
# opens from the command line, answers an outside change, launches a second time.
# Run it inside its own session bus (dbus-run-session), so that launches find each other.
# A failed check is recorded and the run goes on; the exit status says whether any failed.
# Every wait polls, up to ten seconds, for what it waits for.
# Usage: editor_end_to_end.sh PATH/TO/scribbet PATH/TO/drag_source
set -uo pipefail

here=$(dirname "$(realpath "$0")")
scribbet=$(realpath "$1")
drag_source=$(realpath "$2")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_STATE_HOME=$work/home/.local/state XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
mkdir -p "$HOME/Documents" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
    echo "--- what the editor said:"
    tail -n 20 "$work/editor.log" 2>/dev/null || true
}
pass() { echo "PASS: $*"; }

# Records, under `description`, whether the check that ran just before it held.
record() {
    if [[ $? -eq 0 ]]; then
        pass "$1"
    else
        fail "$1 (windows shown: $(xdotool search --onlyvisible --name . getwindowname %@ | tr '\n' ','))"
    fi
}

start_display() {
    # -noreset: the server would otherwise reset when the last editor exits, refusing the next.
    exec {display_fd}<> <(:)
    Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    local number
    read -r -t 10 number <&"$display_fd"
    export DISPLAY=:$number
}

# Polls `condition...` every tenth of a second for up to ten seconds.
eventually() {
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}

# With no window manager the keyboard follows the pointer, so the pointer goes to the window,
# and the keys wait until the window has the focus.
focus() {
    xdotool mousemove --window "$1" 40 60 windowfocus --sync "$1" 2>/dev/null
    eventually [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# The newest visible window whose name matches, waiting up to ten seconds.
window_named() { eventually newest_window "$1" >/dev/null && newest_window "$1"; }
newest_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 | grep .; }

holds() { [[ $(hex "$1" 2>/dev/null) == "$2" ]]; }
hex_of() { printf "$1" | od -An -tx1 -v | tr -d ' \n'; }

# The editors this run started and that still run: its own children, not every scribbet here.
own_editors() { pgrep -c -x -P $$ scribbet; }

# Waits up to ten seconds for the editor to exit by itself; kills it and fails otherwise.
expect_exit() {
    if eventually stopped "$1"; then
        wait "$1" || fail "the editor exited with an error"
    else
        fail "the editor did not quit"
        kill "$1"
    fi
}
stopped() { ! kill -0 "$1" 2>/dev/null; }
# Whether a child of this run has ended, waited for or not.
exited() { ! ps -o stat= -p "$1" | grep -q '^[^Z]'; }

hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }

# Starts the editor on $work/NAME and gives its window the keys; sets `editor` and `window` for
# the caller. Fails the check and returns 1 when no window shows.
open_in_editor() {
    "$scribbet" "$work/$1" 2>>"$work/editor.log" &
    editor=$!
    window=$(window_named "^$1") || { fail "$1 did not open"; kill $editor; return 1; }
    focus "$window"
}

file_from_the_command_line_keeps_every_untouched_byte() {
    printf '\xef\xbb\xbfone\r\ntwo\x00three\r\n' >"$work/crlf.txt"
    local editor window
    open_in_editor crlf.txt || return
    xdotool key ctrl+End
    xdotool type --delay 40 'added line'
    xdotool key Return ctrl+s
    eventually holds "$work/crlf.txt" "$(hex_of 'one\r\ntwo\x00three\r\nadded line\r\n')"
    record "CR LF and NUL kept, mark dropped, typed line added"
    xdotool key ctrl+q
    expect_exit $editor
}

# A Windows-1252 file opens in the encoding offered first, and a save keeps it in that encoding.
legacy_encoding_is_offered_and_kept() {
    printf 'Caf\xe9 \x96 gr\xf6\xdfer\r\n' >"$work/latin1.txt"
    "$scribbet" "$work/latin1.txt" 2>>"$work/editor.log" &
    local editor=$! window
    window=$(window_named '^Open in Another Encoding$') && focus "$window" && xdotool key Return
    window=$(window_named '^latin1.txt (windows-1252)') && focus "$window"
    # Only keys of the keyboard's own map: xdotool types any other character by remapping a key
    # for a moment, which a loaded machine may read after the map is put back. The tests of the
    # controller encode typed characters that are not ASCII.
    xdotool key ctrl+End
    xdotool type --delay 40 'noch ein Kaffee'
    xdotool key ctrl+s
    window=$(window_named '^Scribbet$') && focus "$window" && xdotool key Return # keep it
    eventually holds "$work/latin1.txt" "$(hex_of 'Caf\xe9 \x96 gr\xf6\xdfer\r\nnoch ein Kaffee')"
    record "a Windows-1252 file opened as offered and saved in Windows-1252"
    focus "$(window_named '^latin1.txt')"
    xdotool key ctrl+q
    expect_exit $editor
}

# At fractional scales, where lines start at fractions of a pixel, a selection is one solid block.
selection_has_no_seams_at_fractional_scales() {
    python3 -c 'print((" " * 40 + "\n") * 12, end="")' >"$work/spaces.txt"
    local scale editor window
    for scale in 1.25 1.5; do
        QT_SCALE_FACTOR=$scale open_in_editor spaces.txt || continue
        xdotool key ctrl+a
        eventually no_seams_in "$window"
        record "a selection at scale $scale has no seams between lines"
        xdotool key ctrl+q
        expect_exit $editor
    done
}

# Down a column through the selection: no row breaks it, and it is 150 to 299 rows (12 lines) long.
no_seams_in() { [[ $(/usr/bin/python3 "$here/seam_rows.py" "$1" .1 .2) =~ ^0\ (1[5-9]|2).{2}$ ]]; }

visible_windows() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | wc -l; }

launch_shows_one_untitled_window_and_no_panel() {
    "$scribbet" 2>>"$work/editor.log" &
    local editor=$!
    window_named '^Untitled' >/dev/null || { fail "no untitled window at launch"; kill $editor; return; }
    # Waiting for nothing to happen has no event to poll for: this waits out the 1.5 s in which
    # a panel that shows up by itself is closed.
    sleep 2
    [[ $(visible_windows '^Untitled') -eq 1 && $(visible_windows '^Open') -eq 0 ]]
    record "launch shows exactly one untitled window and no panel"
    second_launch_hands_over_to_the_first "$editor"
    xdotool key ctrl+q
    expect_exit $editor
}

second_launch_hands_over_to_the_first() {
    printf 'second\n' >"$work/second.txt"
    timeout 10 "$scribbet" "$work/second.txt" && window_named '^second.txt' >/dev/null &&
        [[ $(own_editors) -eq 1 ]]
    record "a second launch with a file opens it in the first instance and exits"
    focus "$(window_named '^second.txt')"
    local before
    before=$(visible_windows 'Scribbet$')
    timeout 10 "$scribbet" && [[ $(visible_windows 'Scribbet$') -eq $before ]] &&
        [[ $(own_editors) -eq 1 ]]
    record "a second plain launch while a window shows makes no new window and exits"

    local names=() n
    for n in $(seq 300); do names+=("$work/flood-$n.txt"); done
    # The message comes once the files are open: up to half a minute on a loaded machine.
    timeout 20 "$scribbet" "${names[@]}" &&
        { window_named '^Scribbet$' || window_named '^Scribbet$' || window_named '^Scribbet$'; } \
            >/dev/null &&
        [[ $(visible_windows '^flood-') -eq 100 && $(visible_windows '^Scribbet$') -eq 1 ]]
    record "a launch naming 300 files opens 100 and tells of the rest in one message"
    focus "$(window_named '^Scribbet$')" && xdotool key Return
    focus "$(window_named '^flood-')"

    # A launcher's startup notification: the running editor ends the sequence on the X server and
    # gives the file's window the focus.
    "$here/startup_listener.py" >"$work/startup.log" 2>&1 &
    local listener=$!
    # With no window manager Qt focuses a window with the time of the last X event it saw, and
    # the X server ignores a focus older than its last change: the pointer's move gives the editor
    # an event newer than the focus xdotool just set.
    eventually grep -q listening "$work/startup.log" && focus "$(window_named '^flood-')" &&
        xdotool mousemove_relative 1 1 && sleep 0.5 &&
        DESKTOP_STARTUP_ID=launcher-42_TIME0 timeout 10 "$scribbet" "$work/second.txt" &&
        eventually grep -qx 'remove: ID="launcher-42_TIME0"' "$work/startup.log" &&
        eventually [ "$(xdotool getwindowfocus)" = "$(window_named '^second.txt')" ]
    record "a second launch ends the launcher's startup notification and focuses the file's window"
    kill $listener
}

# Another program changes the open file; the save asks, Cancel keeps both the file and the
# window's text, and Save Anyway then writes that text.
outside_change_is_asked_about() {
    printf 'original\n' >"$work/shared.txt"
    local editor window prompt
    open_in_editor shared.txt || return
    xdotool key ctrl+End
    xdotool type --delay 40 'mine'
    printf 'from elsewhere\n' >>"$work/shared.txt"
    xdotool key ctrl+s
    prompt=$(window_named '^Scribbet$') || { fail "no question about the outside change"; kill $editor; return; }
    focus "$prompt"
    xdotool key Escape
    eventually [ "$(visible_windows '^Scribbet$')" -eq 0 ] &&
        [[ $(cat "$work/shared.txt") == $'original\nfrom elsewhere' ]]
    record "an outside change is asked about, and Cancel keeps the file"
    focus "$window"
    xdotool key ctrl+s
    prompt=$(window_named '^Scribbet$') || { fail "no second question"; kill $editor; return; }
    focus "$prompt"
    xdotool key alt+s
    eventually holds "$work/shared.txt" "$(hex_of 'original\nmine')"
    record "the edited window kept its text, and Save Anyway writes it"
    names_are_taken_as_the_bytes_they_are
    focus "$window"
    xdotool key ctrl+q
    expect_exit $editor
}

names_are_taken_as_the_bytes_they_are() {
    printf 'dash\n' >"$work/-reverse"
    printf 'other\n' >"$work/caf"$'\xef\xbf\xbd'".txt"
    printf 'latin\n' >"$work/caf"$'\xe9'".txt"
    (cd "$work" && timeout 10 "$scribbet" -- -reverse)
    window_named '^-reverse' >/dev/null
    record "a file named like an option opens after --"
    timeout 10 "$scribbet" "$work/caf"$'\xe9'".txt"
    window_named '^Scribbet$' >/dev/null && [[ $(visible_windows '^caf') -eq 0 ]]
    record "a name that is not UTF-8 is refused and opens no other file"
    focus "$(window_named '^Scribbet$')" && xdotool key Return
}

# A file that does not exist yet opens as an empty document for it; Ctrl+F finds a word, Escape
# gives the text the keys again with the word selected, and Ctrl+S makes the file.
missing_file_is_made_by_the_first_save_and_find_returns() {
    local editor window
    open_in_editor missing.txt || return
    [[ ! -e $work/missing.txt ]]
    record "a missing file opens as a new document and nothing is made on disk"
    xdotool type --delay 40 'alpha beta gamma'
    xdotool key ctrl+f
    xdotool type --delay 40 'beta'
    xdotool key Return Escape
    xdotool type --delay 40 'X'
    xdotool key ctrl+s
    eventually holds "$work/missing.txt" "$(hex_of 'alpha X gamma')"
    record "Ctrl+F finds the word, Escape returns to the text, Ctrl+S writes the new file"
    file_dropped_from_another_program_opens "$window"
    focus "$window"
    xdotool key ctrl+q
    expect_exit $editor
}

# A real drag through the X server's drag-and-drop protocol, from another program's window.
file_dropped_from_another_program_opens() {
    printf 'dropped\n' >"$work/dropped.txt"
    "$drag_source" "$work/dropped.txt" 2>>"$work/editor.log" &
    local source=$! from
    from=$(window_named '^drag source$') || { fail "no drag source"; kill $source; return; }
    xdotool windowmove "$1" 300 100 windowmove "$from" 0 0
    xdotool mousemove --window "$from" 20 20 mousedown 1
    # The drag follows the pointer in steps, as a hand moves it; each step waits for the drag to
    # take the pointer, which has no event to poll for.
    for step in 50 150 250 350 400; do sleep 0.2 && xdotool mousemove "$step" 200; done
    xdotool mouseup 1
    window_named '^dropped.txt' >/dev/null
    record "a file dragged from another program onto the text opens"
    kill $source 2>/dev/null
}

# Accessibility turned on while the editor runs, as when a screen reader starts after it, reaches
# the editor without a restart: the text and the caret are read over the accessibility bus, and
# a change is heard. The save question then answers to Alt+D.
screen_reader_started_later_reads_the_text() {
    printf 'read me\n' >"$work/read.txt"
    local editor window
    open_in_editor read.txt || return
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null
    /usr/bin/python3 "$here/screen_reader.py" read.txt $'read me\n' X 2>&1
    record "a screen reader started later reads the text and the caret, and hears typing"
    xdotool key ctrl+q
    window_named '^Save Changes' >/dev/null && xdotool key alt+d
    expect_exit $editor
    holds "$work/read.txt" "$(hex_of 'read me\n')"
    record "Alt+D in the save question quits without saving"
}

# Started over the session bus for a file, in German: the file shows, and no untitled window.
started_by_the_bus_opens_the_file_asked_for_in_german() {
    printf 'bus\n' >"$work/bus.txt"
    local pairs=DISPLAY,$DISPLAY,LANGUAGE,de,QT_QPA_PLATFORM,xcb name window editor
    for name in HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_RUNTIME_DIR; do pairs+=,$name,${!name}; done
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.UpdateActivationEnvironment dict:string:string:"$pairs" >/dev/null
    /usr/bin/python3 -c 'import sys; from gi.repository import Gio, GLib
Gio.bus_get_sync(Gio.BusType.SESSION).call_sync("org.scribbet.Scribbet", "/org/scribbet/Scribbet",
    "org.freedesktop.Application", "Open", GLib.Variant("(asa{sv})", ([sys.argv[1]], {})),
    None, 0, 10000)' "file://$work/bus.txt"
    window=$(window_named '^bus.txt') && sleep 1 && [[ $(visible_windows '^Unbenannt') -eq 0 ]] &&
        focus "$window" && xdotool key ctrl+n && window_named '^Unbenannt' >/dev/null
    record "started by the bus, the editor opens the file asked for, and in German („Unbenannt“)"
    editor=$(pgrep -n -x scribbet) && xdotool key ctrl+q
    eventually stopped "$editor" || { fail "the editor started by the bus did not quit"; kill "$editor"; }
}

drafts=$XDG_STATE_HOME/scribbet/drafts

# Drafts are written half a second after typing pauses, or a second after it began; there is no
# event to wait for, so this waits until `count` drafts stay the same for a second.
drafts_settle() {
    local before after
    for _ in $(seq 10); do
        before=$(cat "$drafts"/*.draft 2>/dev/null | cksum)
        sleep 1
        after=$(cat "$drafts"/*.draft 2>/dev/null | cksum)
        [[ $before == "$after" && $(ls "$drafts"/*.draft 2>/dev/null | wc -l) -eq $1 ]] && return 0
    done
    return 1
}

# Kills the editor outright while a named and an untitled document have unsaved text. The next
# launch shows one untitled window, the desktop is told, and both texts come back: the untitled
# one from File › Recover Unsaved Work, the named one when its file is opened.
unsaved_text_survives_a_kill() {
    printf 'kept\n' >"$work/killed.txt"
    local editor window notifications=$work/notifications
    touch "$notifications"
    /usr/bin/python3 "$here/notification_service.py" "$notifications" &
    open_in_editor killed.txt || return
    xdotool key ctrl+End
    xdotool type --delay 40 'typed before the kill'
    xdotool key ctrl+n
    focus "$(window_named '^Untitled')"
    xdotool type --delay 40 'Dear Bob'
    drafts_settle 2
    kill -KILL $editor
    wait $editor 2>/dev/null
    "$scribbet" 2>>"$work/editor.log" &
    editor=$!
    window=$(window_named '^Untitled') && eventually grep -q 'Unsaved changes can be recovered' \
        "$notifications" && [[ $(visible_windows .) -eq 1 ]]
    record "after a kill the launch shows one untitled window and the desktop hears of unsaved work"
    focus "$window"
    xdotool key alt+f u Return
    eventually [ "$(visible_windows '^Untitled\*')" -eq 1 ] && focus "$(window_named '^Untitled')" &&
        xdotool key ctrl+s && window_named '^Save As' >/dev/null &&
        xdotool type --delay 20 "$work/recovered.txt" && xdotool key Return &&
        eventually holds "$work/recovered.txt" "$(hex_of 'Dear Bob')"
    record "the untitled text comes back from File › Recover Unsaved Work"
    "$scribbet" "$work/killed.txt"
    focus "$(window_named '^Recover Unsaved Changes')" && xdotool key Return &&
        focus "$(window_named '^killed.txt')" && xdotool key ctrl+s &&
        eventually holds "$work/killed.txt" "$(hex_of 'kept\ntyped before the kill')"
    record "the named text comes back when its file is opened"
    rm "$notifications"
    xdotool key ctrl+q
    expect_exit $editor
}

# A logout, a shutdown, a closed terminal or Ctrl+C: each ends the editor at once, as asked,
# with the unsaved text in its draft.
signals_end_the_editor_with_the_text_kept() {
    local signal editor status
    for signal in TERM HUP INT; do
        printf 'file\n' >"$work/$signal.txt"
        open_in_editor "$signal.txt" || continue
        xdotool key ctrl+End
        xdotool type --delay 20 "by $signal"
        kill -s "$signal" $editor
        eventually exited $editor
        wait $editor
        status=$?
        [[ $status -eq $((128 + $(kill -l "$signal"))) ]] && grep -q "by $signal" "$drafts"/*.draft
        record "SIG$signal ends the editor as the signal asks, the typed text in its draft"
        rm -rf "$drafts"
    done
}

start_display
unsaved_text_survives_a_kill
signals_end_the_editor_with_the_text_kept
started_by_the_bus_opens_the_file_asked_for_in_german
missing_file_is_made_by_the_first_save_and_find_returns
launch_shows_one_untitled_window_and_no_panel
outside_change_is_asked_about
file_from_the_command_line_keeps_every_untouched_byte
legacy_encoding_is_offered_and_kept
selection_has_no_seams_at_fractional_scales
# Last: from here on accessibility is on for every program on this session bus.
screen_reader_started_later_reads_the_text
[[ $failures -eq 0 ]]
