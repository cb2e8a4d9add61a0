#!/bin/bash
# Starts the built game on a private X server in machines that are hard on
# it, one mode a run:
#   oddfolder  the game in a folder whose name is not UTF-8 (bytes FF and
#              E9), started through a plain-named link: it finds its data
#              beside it and opens its window.
#   nofont     fontconfig sees no Japanese font: a box and a line on stderr
#              name the package to install, then status 1.
#   stderr     standard error a pipe nobody reads, and a data file missing:
#              the box still shows, then status 1 (not SIGPIPE).
#   screen     under openbox the screen shrinks from 1366 × 768 to 800 × 600
#              and grows back: each time the window takes nine tenths of
#              the new screen, square and wholly on it.
#   longpath   the program 4,095 bytes deep, too deep for any data file to
#              be opened: the box stays on the screen and says the reason
#              once.
#   refused    an X server that wants a cookie the game lacks: one line
#              saying the display refused, status 1.
#
#   hostile.sh <pokotama> <mode>
set -eu
game=$(realpath "$1")
mode=$2
export LC_ALL=C.UTF-8

if [ -z "${POKOTAMA_INSIDE_X:-}" ]; then
    export POKOTAMA_INSIDE_X=1
    # -noreset: xwininfo comes and goes while the game starts.
    exec xvfb-run -a -s "-noreset -screen 0 1366x768x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
work=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
pids=""
trap 'for p in $pids; do kill $p 2>/dev/null || true; done; rm -rf "$work" "$runtime"' EXIT

fail() { echo "FAIL: $mode: $*"; [ -f "$work/err" ] && cat "$work/err"; exit 1; }

# The id of the first window titled $1 that is mapped, waiting up to 20 s.
window() {
    for _ in $(seq 1 100); do
        for id in $(xwininfo -root -tree | awk -v t="\"$1\": (" 'index($0, t) { print $1 }'); do
            xwininfo -id "$id" | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
        done
        sleep 0.2
    done
    return 1
}

# x y width height of a window's outer frame (its frame extents added).
outer() {
    info=$(xwininfo -id "$1")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    left=0 right=0 top=0 bottom=0
    [ -z "$extents" ] || IFS=, read -r left right top bottom <<<"$extents"
    x=$(echo "$info" | awk '/Absolute upper-left X:/ { print $4 }')
    y=$(echo "$info" | awk '/Absolute upper-left Y:/ { print $4 }')
    w=$(echo "$info" | awk '/  Width:/ { print $2 }')
    h=$(echo "$info" | awk '/  Height:/ { print $2 }')
    echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}

# Closes the box titled $1 with Return and checks the game, $2, exits 1.
close_box() {
    window "$1" >/dev/null || fail "no box titled $1"
    sleep 0.5
    xdotool key Return
    status=0
    wait "$2" || status=$?
    [ "$status" -eq 1 ] || fail "exit status $status, expected 1"
}

# A copy of the built game and its data in the folder $1.
copy_game() {
    mkdir -p "$1"
    cp "$game" "$1/pokotama"
    cp -rL "$(dirname "$game")/dat" "$1/dat"
}

case $mode in
oddfolder)
    odd="$work/$(printf 'ga\377me\351')"
    copy_game "$odd"
    ln -s "$odd/pokotama" "$work/play"
    "$work/play" 2>"$work/err" &
    pid=$! pids=$pid
    window ぽこたま >/dev/null || fail "no game window"
    kill -0 "$pid" || fail "the game has exited"
    grep -q . "$work/err" && fail "the game complained"
    ;;
nofont)
    mkdir "$work/fccache"
    cat >"$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$work/fccache</cachedir>
</fontconfig>
EOF
    FONTCONFIG_FILE="$work/fonts.conf" "$game" 2>"$work/err" &
    pid=$! pids=$pid
    close_box pokotama "$pid"
    xwininfo -root -tree | grep -q '"ぽこたま"' && fail "a game window opened"
    grep -q 'No Japanese font is installed' "$work/err" || fail "stderr does not say why"
    grep -q 'apt-get install fonts-ipafont-gothic' "$work/err" || fail "stderr does not name the package"
    ;;
stderr)
    copy_game "$work/game"
    rm "$work/game/dat/0.dat"
    # The launcher closes its end of the pipe before the game writes.
    python3 -c '
import os, subprocess, sys
r, w = os.pipe()
os.close(r)
game = subprocess.Popen([sys.argv[1]], stderr=w)
os.close(w)
status = game.wait()
sys.exit(status if status >= 0 else 128 - status)' "$work/game/pokotama" &
    pid=$! pids=$pid
    close_box ぽこたま "$pid"
    ;;
screen)
    openbox >/dev/null 2>&1 &
    pids=$!
    sleep 1
    "$game" 2>"$work/err" &
    pid=$! pids="$pids $pid"
    id=$(window ぽこたま) || fail "no game window"
    sleep 1
    xrandr --newmode pokotama-800x600 40 800 840 968 1056 600 601 605 628
    xrandr --addmode screen pokotama-800x600
    for step in 800x600:540 1366x768:691; do
        size=${step%:*} side=${step#*:}
        mode_name=pokotama-$size
        [ "$size" = 1366x768 ] && mode_name=1366x768
        xrandr --output screen --mode "$mode_name"
        sleep 1.5
        read -r x y w h <<<"$(outer "$id")"
        echo "screen $size: outer ${w}x$h at $x,$y"
        [ "$w" -eq "$side" ] && [ "$h" -eq "$side" ] || fail "outer ${w}x$h on $size, expected $side square"
        [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "${size%x*}" ] && [ $((y + h)) -le "${size#*x}" ] \
            || fail "not wholly on the $size screen"
    done
    kill -0 "$pid" || fail "the game has exited"
    ;;
longpath)
    # Folders of 250 bytes down to a program path of 4,095 bytes.
    deep=$work
    while [ $((${#deep} + 251 + 9)) -le 4095 ]; do deep="$deep/$(printf 'd%.0s' $(seq 1 250))"; done
    last=$((4095 - ${#deep} - 1 - 9))
    deep="$deep/$(printf 'e%.0s' $(seq 1 "$last"))"
    # No command takes a path this long: walk down the folders.
    (
        cd "$work"
        for part in $(echo "${deep#"$work"/}" | tr / ' '); do mkdir "$part" && cd "$part"; done
        cp "$game" pokotama
        cp -rL "$(dirname "$game")/dat" dat
    )
    [ $((${#deep} + 9)) -eq 4095 ] || fail "the path is $((${#deep} + 9)) bytes"
    (cd "$work" && cd "${deep#"$work"/}" && exec ./pokotama) 2>"$work/err" &
    pid=$!  pids=$pid
    id=$(window ぽこたま) || fail "no box"
    read -r x y w h <<<"$(outer "$id")"
    echo "box: ${w}x$h at $x,$y"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1366 ] && [ $((y + h)) -le 768 ] \
        || fail "the box is not wholly on the screen"
    close_box ぽこたま "$pid"
    said=$(grep -c 'File name too long' "$work/err")
    [ "$said" -eq 2 ] || fail "the reason said $said times, not once in each language"
    grep -q '腐る.dat' "$work/err" || fail "the files are not named"
    ;;
refused)
    # xvfb-run gave the server a cookie, and the game none.
    status=0
    XAUTHORITY="$work/none" "$game" >"$work/out" 2>"$work/err" </dev/null || status=$?
    cat "$work/err"
    [ "$status" -eq 1 ] || fail "exit status $status, expected 1"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "not one line"
    grep -q "the display $DISPLAY refused the connection" "$work/err" || fail "the line does not say the display refused"
    ;;
*)
    fail "no such mode"
    ;;
esac
echo PASS
