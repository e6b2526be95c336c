#!/usr/bin/env bash
# The Windows program run whole from the Linux shell, under Wine:
#   program_test.sh PROGRAM.exe NATIVE-SORBELIN EXAMPLES-DIR
# - batch runs (/sv: with /end) write exactly the bytes of the native
#   converter, end with 0, or with 1 when nothing was written (a path too
#   long for its slot included), and map no window on the display;
# - with only an input path, the Save dialog comes up before the main window,
#   and closing the window ends the program with 0.
# Needs DISPLAY (an Xvfb of its own: other programs' windows would count),
# xev and xdotool.
set -u
exe=$(realpath "$1") native=$(realpath "$2") examples=$(realpath "$3")
run=$(realpath "$(dirname "$0")/../../toolchains/wine-run")
[ -n "${DISPLAY:-}" ] || { echo "program_test: needs DISPLAY" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sorbelin-program.XXXXXX")
watcher=
app=
# xdotool presses keys through XTEST when the window has the X focus; a
# window that goes between press and release leaves the key down on the
# display, to the confusion of every program after this one.
releaseKeys() { xdotool keyup Escape Alt_L F4 2>/dev/null; }
cleanup() {
    releaseKeys
    [ -z "$watcher" ] || kill "$watcher" 2>/dev/null
    [ -z "$app" ] || kill "$app" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 2
cp "$examples"/*.mld "$examples"/*.mmf .

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Every window that Wine maps on the display shows up as a MapNotify.
xev -root -event substructure >map.log 2>&1 &
watcher=$!
sleep 0.5

batch() {  # batch EXPECTED-STATUS ARG...
    local expected=$1
    shift
    "$run" "$exe" "$@" 2>/dev/null
    local status=$?
    [ "$status" = "$expected" ] || fail "status $status, not $expected: $*"
}

echo "batch runs against the native converter"
for input in *.mld *.mmf; do
    for masks in "3 5" "0 1" "255 0" "1 0"; do
        read -r vib led <<<"$masks"
        rm -f win.out native.out
        batch 0 "$input" "/vc:$vib" "/lc:$led" /sv:win.out /end
        "$native" "$input" "/vc:$vib" "/lc:$led" /sv:native.out /end >/dev/null
        cmp -s win.out native.out || fail "$input /vc:$vib /lc:$led differs from the native output"
    done
done

echo "batch runs with spaces and Japanese names"
mkdir "dir with space"
cp fanfare-v2.mld "dir with space/曲 1.mld"
batch 0 "dir with space/曲 1.mld" /vc:3 /lc:5 "/sv:dir with space/出力.mld" /end
"$native" fanfare-v2.mld /vc:3 /lc:5 /sv:native.out /end >/dev/null
cmp -s "dir with space/出力.mld" native.out || fail "the Japanese-named output differs"

echo "batch runs that write nothing end with 1"
printf 'no melody in here' >text.mld
cp fanfare-v2.mld kept.mld
batch 1 text.mld /sv:out.mld /end
batch 1 missing.mld /sv:out.mld /end
batch 1 fanfare-v2.mld /sv:no-such-folder/out.mld /end
batch 1 text.mld /sv:kept.mld /end
[ ! -e out.mld ] || fail "a failed batch run wrote out.mld"
cmp -s kept.mld fanfare-v2.mld || fail "a failed batch run changed kept.mld"

echo "a path longer than its 255-byte slot is not cut into another name"
long=$(printf 'o%.0s' $(seq 260))
before=$(ls)
batch 1 fanfare-v2.mld "/sv:$long" /end
cp fanfare-v2.mld "${long:0:251}.mld"  # what the input would be, cut to 255 bytes
batch 1 "${long:0:251}.mld.mld" /sv:out.mld /end
rm "${long:0:251}.mld"
[ "$(ls)" = "$before" ] || fail "a batch run with a long path wrote a file"

sleep 0.5
if grep -q MapNotify map.log; then fail "a batch run mapped a window"; fi
kill "$watcher"
watcher=

echo "with only an input path, the Save dialog comes first"
visible() {  # the visible windows with a name: "id name" lines
    local id
    for id in $(xdotool search --onlyvisible --name '.+' 2>/dev/null); do
        echo "$id $(xdotool getwindowname "$id" 2>/dev/null)"
    done
}
waitFor() {  # waitFor PATTERN [TENTHS]: the first visible window whose line matches
    local i line
    for i in $(seq "${2:-100}"); do
        line=$(visible | grep -m1 -- "$1")
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.1
    done
    return 1
}
mainTitle="Sorbelin (V1.40)"
[ -z "$(visible)" ] || fail "windows of other programs are on the display"
"$run" "$exe" fanfare-v2.mld 2>/dev/null &
app=$!
first=$(waitFor .) || fail "no window came up"
case "$first" in
*"$mainTitle"*) fail "the main window came before the Save dialog" ;;
esac
visible | grep -q -- "$mainTitle" && fail "the main window was shown with the Save dialog"
dialog=${first%% *}
# Escape cancels the dialog; it is sent again until the main window shows,
# as a key that arrives before the dialog has its focus is lost.
main=
for i in $(seq 30); do
    xdotool key --window "$dialog" Escape 2>/dev/null
    main=$(waitFor "$mainTitle" 10) && break
done
releaseKeys
[ -n "$main" ] || fail "the main window did not come up after the Save dialog"
for i in $(seq 30); do
    kill -0 "$app" 2>/dev/null || break
    xdotool key --window "${main%% *}" alt+F4 2>/dev/null
    sleep 0.3
done
releaseKeys
wait "$app"
status=$?
app=
[ "$status" = 0 ] || fail "closing the window ended with $status"
cmp -s fanfare-v2.mld "$examples/fanfare-v2.mld" || fail "a cancelled Save changed the input"

[ $failures = 0 ] && echo "all passed"
exit $((failures > 0))
