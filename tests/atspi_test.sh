#!/bin/sh
# Plays the built game through the real accessibility stack: a private
# D-Bus session with the AT-SPI bus (at-spi2-core), the game on a private
# X server with Qt's AT-SPI bridge on, and atspi_play.py reading it with
# pyatspi as a screen reader does.
#
#   atspi_test.sh <pokotama>
set -eu
game=$1
here=$(dirname "$0")
export LC_ALL=C.UTF-8

if [ -z "${POKOTAMA_INSIDE_SESSION:-}" ]; then
    export POKOTAMA_INSIDE_SESSION=1
    # -noreset: the AT-SPI bus launcher comes and goes on the display, and
    # a server that resets as its last client leaves refuses the game.
    exec xvfb-run -a -s "-noreset -screen 0 1366x768x24" dbus-run-session -- "$0" "$@"
fi
unset QT_QPA_PLATFORM

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
log=$(mktemp)
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$game" 2>"$log" &
pid=$!
trap 'kill $pid $launcher 2>/dev/null; rm -f "$log"' EXIT

status=0
/usr/bin/python3 "$here/atspi_play.py" || status=$?
[ "$status" -eq 0 ] || cat "$log"
exit "$status"
