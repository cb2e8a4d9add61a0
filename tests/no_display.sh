#!/bin/sh
# Starts the built game where there is no screen to open: no X server and
# no Wayland compositor named, then named but not there. Each time the game
# must say so in one line, in Japanese and in English, and exit with
# status 1, not in Qt's abort (status 134 and a core dump).
#
#   no_display.sh <pokotama>
set -eu
game=$1
export LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
trap 'rm -rf "$runtime"' EXIT

# An X display number with no server behind it.
n=4317
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

check() { # <what> <env assignments...>
    what=$1
    shift
    status=0
    env "$@" "$game" >"$runtime/out" 2>"$runtime/err" </dev/null || status=$?
    echo "$what: status $status: $(cat "$runtime/err")"
    [ "$status" -eq 1 ] || { echo "FAIL: $what: exit status $status, expected 1"; exit 1; }
    [ "$(wc -l <"$runtime/err")" -eq 1 ] || { echo "FAIL: $what: not one line"; exit 1; }
    grep -q '画面を開けません.*cannot open a display' "$runtime/err" || { echo "FAIL: $what: the line"; exit 1; }
    [ ! -s "$runtime/out" ] || { echo "FAIL: $what: output on stdout"; exit 1; }
}
check "nothing named"
check "no X server" DISPLAY=:$n
check "no X server, no compositor" DISPLAY=:$n WAYLAND_DISPLAY=pokotama-nowhere
check "no compositor, Wayland asked for" WAYLAND_DISPLAY=pokotama-nowhere QT_QPA_PLATFORM=wayland
echo PASS
