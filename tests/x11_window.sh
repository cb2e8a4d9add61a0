#!/bin/sh
# Starts the built game on a private X server and checks its window: titled
# ぽこたま, mapped, and square on the outside, nine tenths of the screen's
# shorter side, wholly on the screen and centred on it. Run on a bare
# server (no window manager: the inner area is the frame), on a bare
# portrait screen (1080 × 1920, where the width is the shorter side) and
# under openbox, KWin and mutter, whose title bars and borders the game
# must take off its inner area once they tell them, after the window is
# mapped, and then centre the frame. In the mode
# "fatal" the game's data folder lacks its first and its last picture:
# before any game window the game must show one dialog naming both,
# centred on the screen, and exit with status 1 once it is closed, having
# said what is wrong on stderr too.
#
#   x11_window.sh <pokotama> [bare|portrait|openbox|kwin|mutter|fatal]
set -eu
game=$1
mode=${2:-bare}
# xwininfo and xprop print the UTF-8 title only under a UTF-8 locale,
# whatever the caller's is.
export LC_ALL=C.UTF-8

screen=1366x768 expected=691 # nine tenths of 768 pixels, rounded
[ "$mode" = portrait ] && screen=1080x1920 expected=972
if [ -z "${POKOTAMA_INSIDE_X:-}" ]; then
    export POKOTAMA_INSIDE_X=1
    # -noreset: xwininfo comes and goes while the game starts, and a server
    # that resets as its last client leaves would refuse the game.
    exec xvfb-run -a -s "-noreset -screen 0 ${screen}x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM

case $mode in
    openbox|fatal) openbox >/dev/null 2>&1 & wm=$! ;;
    # KWin and mutter want a session bus; Orca's test may own none here.
    kwin) dbus-run-session -- kwin_x11 >/dev/null 2>&1 & wm=$! ;;
    mutter) dbus-run-session -- mutter --x11 >/dev/null 2>&1 & wm=$! ;;
esac
if [ -n "${wm:-}" ]; then
    trap 'kill $wm 2>/dev/null' EXIT
    # The window manager is up once it names itself on the root window.
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    sleep 0.5
fi

if [ "$mode" = fatal ]; then
    # A copy of the game beside a data folder without 0.dat and love.dat.
    copy=$(mktemp -d)
    cp "$game" "$copy/pokotama"
    cp -r "$(dirname "$game")/dat" "$copy/dat"
    rm "$copy/dat/0.dat" "$copy/dat/love.dat"
    "$copy/pokotama" 2>"$copy/stderr" &
    pid=$!
    for _ in $(seq 1 100); do
        xwininfo -root -tree | grep -q '"ぽこたま": (' && break
        sleep 0.2
    done
    sleep 1
    kill -0 "$pid" || { echo "FAIL: the game left without waiting for the dialog"; exit 1; }
    # The dialog alone, no game window behind it, centred on the screen.
    [ "$(xwininfo -root -tree | grep -c '"ぽこたま": (')" -eq 1 ] || { echo "FAIL: a window besides the dialog"; exit 1; }
    dialog=$(xwininfo -root -tree | awk '/"ぽこたま": \(/ { print $1; exit }')
    info=$(xwininfo -id "$dialog")
    x=$(echo "$info" | awk '/Absolute upper-left X:/ { print $4 }')
    y=$(echo "$info" | awk '/Absolute upper-left Y:/ { print $4 }')
    width=$(echo "$info" | awk '/  Width:/ { print $2 }')
    height=$(echo "$info" | awk '/  Height:/ { print $2 }')
    echo "dialog: ${width}x${height} at $x,$y"
    [ "$width" -lt 691 ] && [ "$height" -lt 691 ] || { echo "FAIL: the dialog is as large as the game"; exit 1; }
    dx=$((x + width / 2 - 683)) dy=$((y + height / 2 - 384))
    [ "${dx#-}" -le 40 ] && [ "${dy#-}" -le 40 ] || { echo "FAIL: the dialog is not centred"; exit 1; }
    xdotool key Return
    status=0
    wait "$pid" || status=$?
    cat "$copy/stderr"
    [ "$status" -eq 1 ] || { echo "FAIL: exit status $status, expected 1"; exit 1; }
    grep -q "The data file $copy/dat/0.dat is missing." "$copy/stderr" || { echo "FAIL: stderr"; exit 1; }
    grep -q "The data file $copy/dat/love.dat is missing." "$copy/stderr" || { echo "FAIL: stderr"; exit 1; }
    rm -rf "$copy"
    echo PASS
    exit 0
fi

log=$(mktemp)
"$game" 2>"$log" &
pid=$!
trap 'kill $pid 2>/dev/null; [ -n "${wm:-}" ] && kill $wm 2>/dev/null; rm -f "$log"' EXIT

# Wait for the window and for the window manager to settle its frame.
id=""
for _ in $(seq 1 100); do
    # The game's own window, of class pokotama: mutter 48 titles its frame
    # window (of class mutter-x11-frames) ぽこたま too.
    id=$(xwininfo -root -tree | awk '/"ぽこたま": \("pokotama"/ { print $1; exit }')
    [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable' && break
    sleep 0.2
done
[ -n "$id" ] || { echo "FAIL: no window titled ぽこたま"; cat "$log"; exit 1; }
sleep 1

info=$(xwininfo -id "$id")
echo "$info" | grep -q 'Map State: IsViewable' || { echo "FAIL: window not mapped"; exit 1; }
width=$(echo "$info" | awk '/  Width:/ { print $2 }')
height=$(echo "$info" | awk '/  Height:/ { print $2 }')

# _NET_FRAME_EXTENTS: left, right, top, bottom; absent without a window manager.
extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
left=0 right=0 top=0 bottom=0
if [ -n "$extents" ]; then
    IFS=, read -r left right top bottom <<EOT
$extents
EOT
fi
case $mode in
    bare|portrait) ;;
    *) [ "$top" -gt 0 ] || { echo "FAIL: $mode gave no frame"; exit 1; } ;;
esac

outer_w=$((width + left + right))
outer_h=$((height + top + bottom))
x=$(($(echo "$info" | awk '/Absolute upper-left X:/ { print $4 }') - left))
y=$(($(echo "$info" | awk '/Absolute upper-left Y:/ { print $4 }') - top))
echo "$mode: inner ${width}x${height}, frame $left,$right,$top,$bottom, outer ${outer_w}x${outer_h} at $x,$y on $screen"
[ "$outer_w" -eq "$outer_h" ] || { echo "FAIL: the outer frame is not square"; exit 1; }
[ "$outer_h" -eq "$expected" ] || { echo "FAIL: outer side $outer_h, expected $expected"; exit 1; }
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + outer_w)) -le "${screen%x*}" ] && [ $((y + outer_h)) -le "${screen#*x}" ] \
    || { echo "FAIL: the window is not wholly on the screen"; exit 1; }
dx=$((2 * x + outer_w - ${screen%x*})) dy=$((2 * y + outer_h - ${screen#*x}))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] || { echo "FAIL: the frame is not centred"; exit 1; }
xprop -id "$id" _NET_WM_NAME | grep -q '"ぽこたま"' || { echo "FAIL: title"; exit 1; }
xprop -id "$id" _NET_WM_ICON | grep -qi "icon (32 x 32)" || { echo "FAIL: no window icon"; exit 1; }
kill -0 "$pid" || { echo "FAIL: the game has exited"; exit 1; }
echo PASS
