#!/usr/bin/env bash
# Drives the real Ostrover (x64 or x86) under Wine and Xvfb: clicks with and without the
# application manager in the registry, the key in either registry view, File > Exit, the
# About box through both accelerators, a launcher started by another program from a folder
# with a blank in its path, and a launcher renamed with a blank. A stand-in application
# manager records what it was given; process_starter starts programs through CreateProcess.
#
# Usage: e2e_launcher.sh [--views-only] OSTROVER_EXE STANDIN_EXE STARTER_EXE WORK_DIR
# --views-only runs just the clicks with the key in each registry view.
# The Wine prefix is private (WORK_DIR/wineprefix, made once), so the registry key set here
# never reaches other Wine tests. Screenshots land in WORK_DIR/screens.
set -uo pipefail

all_args=("$@")
views_only=0
if [ "${1:-}" = --views-only ]; then
    views_only=1
    shift
fi
if [ $# -ne 4 ]; then
    echo "usage: $0 [--views-only] OSTROVER_EXE STANDIN_EXE STARTER_EXE WORK_DIR" >&2
    exit 2
fi
launcher_exe=$1
standin_exe=$2
starter_exe=$3
work=$4
for exe in "$launcher_exe" "$standin_exe" "$starter_exe"; do
    if [ ! -f "$exe" ]; then
        echo "FAIL: $exe is missing; build the win64 and win32 presets first (cmake --build --preset win64)" >&2
        exit 1
    fi
done

if [ -z "${OSTROVER_E2E_DISPLAY:-}" ]; then
    export OSTROVER_E2E_DISPLAY=1
    # A random first display number keeps parallel xvfb-run -a calls from racing for one.
    exec xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 800x600x24" "$0" "${all_args[@]}"
fi

export WINEPREFIX="$work/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
run_dir="$work/run"
appmgr_dir="$work/appmgr"
record="$appmgr_dir/appmgr-record.txt"
screens="$work/screens"
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE'

failures=0
launcher_pid=
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed; screenshots in $screens"
        exit 1
    fi
    echo "all checks passed; screenshots in $screens"
    exit 0
}

cleanup() {
    if [ -n "$launcher_pid" ]; then
        kill "$launcher_pid" 2>/dev/null
    fi
    wineserver -k 2>/dev/null
}
trap cleanup EXIT

mkdir -p "$work" "$run_dir" "$appmgr_dir" "$screens"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the Wine prefix $WINEPREFIX (once)"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# Wine links the 32-bit view's App Paths key to the 64-bit one, so both views hold one key.
# Where 64-bit Windows keeps a key per view, a launcher must also look in the view that is
# not its own; the private prefix gets a key per view (while no server holds it) to check that.
wineserver -k 2>/dev/null
wineserver -w
awk '/^\[/ { link = index($0, "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths]") == 1; more = 0 }
     link && /^#link/ { next }
     link && /^"SymbolicLinkValue"/ { more = /\\$/; next }
     more { more = /\\$/; next }
     { print }' "$WINEPREFIX/system.reg" >"$WINEPREFIX/system.reg.new" &&
    mv "$WINEPREFIX/system.reg.new" "$WINEPREFIX/system.reg"
wineserver -p  # one server for every step below
# Without a window manager, let Wine draw the frames so the screenshots show captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

# 64-bit Windows keeps the 32-bit registry view's keys under Wow6432Node. Both places are
# written literally in the 64-bit view, so the test does not depend on which reg.exe Wine
# runs; which is the launcher's own view follows from its PE header's machine field.
key64=$app_paths
key32=${app_paths/\\Software\\/\\Software\\Wow6432Node\\}
pe_header=$(od -An -tu4 -j 60 -N 4 "$launcher_exe" | tr -d ' ')
case $(od -An -tx2 -j $((pe_header + 4)) -N 2 "$launcher_exe" | tr -d ' ') in
8664) own_key=$key64 other_key=$key32 own_view=64-bit other_view=32-bit ;;
014c) own_key=$key32 other_key=$key64 own_view=32-bit other_view=64-bit ;;
*)
    echo "FAIL: $launcher_exe is neither an x64 nor an x86 program"
    exit 1
    ;;
esac
echo "$(basename "$launcher_exe"): its own registry view is the $own_view one"

cp "$launcher_exe" "$run_dir/Ostrover.exe"
cp "$launcher_exe" "$run_dir/Ostrover Setup.exe"
cp "$standin_exe" "$appmgr_dir/CEAPPMGR.EXE"
appmgr_win=$(winepath -w "$appmgr_dir/CEAPPMGR.EXE")
run_win=$(winepath -w "$run_dir")

# set_key VALUE [KEY]: the launcher's own view unless KEY says otherwise.
set_key() { wine reg add "${2:-$own_key}" /ve /d "$1" /f /reg:64 >/dev/null 2>&1; }
delete_key() {
    wine reg delete "$key64" /f /reg:64 >/dev/null 2>&1
    wine reg delete "$key32" /f /reg:64 >/dev/null 2>&1
}

# Starts a launcher from the run folder and waits for its window; sets launcher_pid, wid.
# The arguments go to wine: the launcher, or process_starter and what it is to start.
start_launcher() {
    if [ -n "$launcher_pid" ]; then  # left over from a failed step
        kill "$launcher_pid" 2>/dev/null
        wait "$launcher_pid" 2>/dev/null
        launcher_pid=
    fi
    rm -f "$record"
    (cd "$run_dir" && exec wine "$@") &
    launcher_pid=$!
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Ostrover$' 2>/dev/null | head -1)
    if [ -z "$wid" ]; then
        fail "no window titled Ostrover appeared for $*"
        return 1
    fi
    sleep 0.5  # let the first paint settle
}

# Waits up to $1 seconds for the launcher to end; sets exit_code (empty when still running).
wait_launcher() {
    local waited=0
    exit_code=
    while kill -0 "$launcher_pid" 2>/dev/null && [ "$waited" -lt "$(($1 * 10))" ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if ! kill -0 "$launcher_pid" 2>/dev/null; then
        wait "$launcher_pid"
        exit_code=$?
        launcher_pid=
    fi
}

click() { xdotool mousemove --window "$wid" 120 120 click 1; }
keys_to() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null
    sleep 0.3
    xdotool key "$@"
}
find_about() { timeout "$1" xdotool search --sync --onlyvisible --name '^About$' 2>/dev/null | head -1; }
# Wine can take a second or two to take a closed dialog off the screen.
about_gone() {
    local tries=0
    while [ -n "$(xdotool search --onlyvisible --name '^About$' 2>/dev/null)" ]; do
        tries=$((tries + 1))
        [ "$tries" -ge 50 ] && return 1
        sleep 0.2
    done
}
# Messages are handled in order: once an About box opened after a click has come and gone,
# the click has been handled too. Fails when the launcher could not show it.
settle() {
    keys_to "$wid" alt+question
    local box
    box=$(find_about 15)
    [ -n "$box" ] || return 1
    xdotool key Escape
    about_gone
}
shot() { import -window root "$screens/$1.png"; }

exit_by_menu() {
    keys_to "$wid" alt+f
    sleep 0.5
    xdotool key x
    wait_launcher 10
    if [ "$exit_code" = 0 ]; then
        pass "File > Exit ends the launcher with code 0 ($1)"
    else
        fail "File > Exit: exit code '${exit_code:-still running}' ($1)"
    fi
}

expect_record() {
    # The launcher ends as soon as the application manager exists, which may be before the
    # stand-in has written its record.
    local waited=0
    while [ ! -f "$record" ] && [ "$waited" -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if [ ! -f "$record" ]; then
        fail "$1: the application manager was not started"
        return
    fi
    local line1 line2
    line1=$(sed -n 1p "$record")
    line2=$(sed -n 2p "$record")
    if [ "$line1" = "$2" ]; then
        pass "$1: command line $line1"
    else
        fail "$1: command line '$line1', wanted '$2'"
    fi
    # The package path is relative: it must resolve in the launcher's own folder.
    if [ "${line2,,}" = "${run_win,,}" ]; then
        pass "$1: current directory $line2"
    else
        fail "$1: current directory '$line2', wanted '$run_win'"
    fi
}

# The key in each registry view: alone in the launcher's own view, alone in the other one,
# and in both with different paths, where the own view wins. Each time after a restart a
# click starts the application manager and the launcher ends.
view_case() {  # WHAT OWN_VALUE OTHER_VALUE
    delete_key
    [ -n "$2" ] && set_key "$2" "$own_key"
    [ -n "$3" ] && set_key "$3" "$other_key"
    start_launcher Ostrover.exe || return
    click
    wait_launcher 15
    if [ "$exit_code" = 0 ]; then
        pass "$1: a click ended the launcher with code 0"
    else
        fail "$1: exit code '${exit_code:-still running}' after a click"
    fi
    expect_record "$1" '/report .\Ostrover.ini'
}
view_case "key in its own ($own_view) view" "$appmgr_win" ""
view_case "key in the other ($other_view) view only" "" "$appmgr_win"
view_case "key in both views" "$appmgr_win" 'Z:\nowhere\CEAPPMGR.EXE'
delete_key

[ "$views_only" -eq 1 ] && finish

# 1. Not installed: a click starts nothing, the launcher stays; installing meanwhile does
#    not help, since the path was read at start.
delete_key
if start_launcher Ostrover.exe; then
    shot launcher
    click
    settle
    if kill -0 "$launcher_pid" 2>/dev/null && [ ! -f "$record" ]; then
        pass "click without the registry key: still running, nothing started"
    else
        fail "click without the registry key ended the launcher or started something"
    fi
    set_key "$appmgr_win"
    click
    settle
    if kill -0 "$launcher_pid" 2>/dev/null && [ ! -f "$record" ]; then
        pass "key installed while running: a click still starts nothing"
    else
        fail "key installed while running took effect before a restart"
    fi
    exit_by_menu "after clicks that started nothing"
fi

# 2. The registry names a file that is not there: a click starts nothing; closing the window
#    (Alt+F4, as the frame's close button) still ends with code 0.
set_key 'Z:\nowhere\CEAPPMGR.EXE'
if start_launcher Ostrover.exe; then
    click
    settle
    if kill -0 "$launcher_pid" 2>/dev/null && [ ! -f "$record" ]; then
        pass "click with a missing application manager: still running"
    else
        fail "click with a missing application manager ended the launcher"
    fi
    keys_to "$wid" alt+F4
    wait_launcher 10
    if [ "$exit_code" = 0 ]; then
        pass "closing the window ends the launcher with code 0"
    else
        fail "closing the window: exit code '${exit_code:-still running}'"
    fi
fi

# 3. About box: Alt+"?" opens it and Escape closes it; Alt+"/" opens it and OK closes it.
if start_launcher Ostrover.exe; then
    keys_to "$wid" alt+question
    about=$(find_about 10)
    if [ -n "$about" ]; then
        pass "Alt+? opens the About box"
        sleep 0.5
        shot about
        xdotool key Escape
        if about_gone; then
            pass "Escape closes the About box"
        else
            fail "Escape left the About box open"
        fi
    else
        fail "Alt+? did not open the About box"
    fi
    keys_to "$wid" alt+slash
    about=$(find_about 10)
    if [ -n "$about" ]; then
        pass "Alt+/ opens the About box"
        xdotool key Return
        if about_gone; then
            pass "OK closes the About box"
        else
            fail "OK left the About box open"
        fi
    else
        fail "Alt+/ did not open the About box"
    fi
    if [ -n "$launcher_pid" ] && kill -0 "$launcher_pid" 2>/dev/null; then
        exit_by_menu "after the About box"
    else
        fail "the launcher ended while its About box was used"
    fi
fi

# 4. Started by another program through CreateProcess from a folder whose path holds a
#    blank: with no command line (Windows then hands over the path unquoted, Wine quotes it),
#    with the path unquoted as Windows makes it, and with the path quoted up to the middle.
#    The package file follows the launcher's own file name. The stand-in, under the
#    launcher's name first, shows what such a start hands over.
vendor_dir="$run_dir/Program Files/Vendor"
mkdir -p "$vendor_dir"
vendor_win=$(winepath -w "$vendor_dir")
vendor_exe="$vendor_win\Ostrover.exe"
started_case() {  # WHAT [COMMAND_LINE]: with none, CreateProcess is given no command line
    local what=$1 received
    shift
    cp "$standin_exe" "$vendor_dir/Ostrover.exe"
    rm -f "$vendor_dir/appmgr-record.txt"
    (cd "$run_dir" && wine "$starter_exe" "$vendor_exe" "$@" >/dev/null 2>&1)
    received=$(sed -n 1p "$vendor_dir/appmgr-record.txt" 2>/dev/null)
    if [ "${received//\"/}" = "$vendor_exe" ] && { [ $# -eq 0 ] || [ "$received" = "$1" ]; }; then
        pass "$what: a program started so receives $received"
    else
        fail "$what: a program started so receives '$received'"
    fi
    cp "$launcher_exe" "$vendor_dir/Ostrover.exe"
    start_launcher "$starter_exe" "$vendor_exe" "$@" || return
    click
    wait_launcher 15
    if [ "$exit_code" = 0 ]; then
        pass "$what: a click ended the launcher with code 0"
    else
        fail "$what: exit code '${exit_code:-still running}' after a click"
        keys_to "$wid" alt+F4
        wait_launcher 10
    fi
    expect_record "$what" '/report .\Ostrover.ini'
}
set_key "$appmgr_win"
started_case "no command line"
started_case "the path unquoted" "$vendor_exe"
started_case "the path quoted up to the middle" "\"${vendor_win%\\Vendor}\"\\Vendor\\Ostrover.exe"
delete_key

# 5. A launcher renamed with a blank finds its own package file, handed over in quotes. The
#    registry names the application manager without extension (found as .EXE), in a folder
#    whose path is longer than any fixed buffer a launcher of this kind might keep.
base_length=$(winepath -w "$work/appmgr-" | wc -c)
pad=$((230 - base_length - 13))
[ "$pad" -lt 1 ] && pad=1
long_dir="$work/appmgr-$(printf 'l%.0s' $(seq "$pad"))"
mkdir -p "$long_dir"
cp "$standin_exe" "$long_dir/CEAPPMGR.EXE"
long_win=$(winepath -w "$long_dir/CEAPPMGR.EXE")
record="$long_dir/appmgr-record.txt"
set_key "${long_win%.EXE}"
if start_launcher "Ostrover Setup.exe"; then
    click
    wait_launcher 15
    if [ "$exit_code" = 0 ]; then
        pass "renamed launcher: ended with code 0"
    else
        fail "renamed launcher: exit code '${exit_code:-still running}'"
    fi
    expect_record "Ostrover Setup.exe, manager path of ${#long_win} characters" '/report ".\Ostrover Setup.ini"'
fi
delete_key

finish
