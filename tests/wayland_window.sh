#!/bin/sh
# Starts Weston's headless compositor, with XWayland, on a private socket,
# and the game under it:
#  - on Wayland (test_wayland): a window never activated, maximised and
#    made full screen, must live on in the size Weston gives it;
#  - started as from a Wayland desktop, with both WAYLAND_DISPLAY and
#    DISPLAY set: the game must take Wayland, with no X window;
#  - the same with QT_QPA_PLATFORM=xcb: the player's choice of X11 stands,
#    and its frame, which Weston's X window manager draws, is square.
#
#   wayland_window.sh <test_wayland> <pokotama>
set -eu
test_wayland=$1
game=$2
export LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket=pokotama-test
weston --backend=headless-backend.so --socket=$socket --width=1920 --height=1080 --xwayland \
    --log="$runtime/weston.log" &
weston=$!
pids=""
trap 'for p in $pids $weston; do kill $p 2>/dev/null; done; wait 2>/dev/null; rm -rf "$runtime"' EXIT
fail() { echo "FAIL: $*"; echo "--- weston's log:"; cat "$runtime/weston.log"; exit 1; }

for _ in $(seq 1 100); do
    [ -S "$runtime/$socket" ] && grep -q 'xserver listening on display' "$runtime/weston.log" && break
    sleep 0.1
done
[ -S "$runtime/$socket" ] || fail "weston did not start"
x_display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log" | head -n 1)
[ -n "$x_display" ] || fail "weston started no XWayland"

# On Wayland.
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$test_wayland" || fail "on Wayland (status $?)"

# From a Wayland desktop with XWayland: on Wayland all the same.
WAYLAND_DISPLAY=$socket DISPLAY=$x_display "$game" 2>"$runtime/wayland.err" &
wayland_game=$!
pids="$pids $wayland_game"
sleep 2
kill -0 "$wayland_game" || { cat "$runtime/wayland.err"; fail "the game on a Wayland desktop has exited"; }
count=$(DISPLAY=$x_display xwininfo -root -tree | grep -c '"ぽこたま": (' || true)
[ "$count" -eq 0 ] || fail "the game took X11 on a Wayland desktop ($count X windows)"

# The player's own choice of X11 stands.
WAYLAND_DISPLAY=$socket DISPLAY=$x_display QT_QPA_PLATFORM=xcb "$game" 2>"$runtime/game.err" &
pids="$pids $!"
id=""
for _ in $(seq 1 100); do
    id=$(DISPLAY=$x_display xwininfo -root -tree 2>/dev/null | awk '/"ぽこたま": \(/ { print $1; exit }')
    [ -n "$id" ] && DISPLAY=$x_display xwininfo -id "$id" | grep -q 'Map State: IsViewable' && break
    sleep 0.2
done
[ -n "$id" ] || { cat "$runtime/game.err"; fail "no X window: QT_QPA_PLATFORM=xcb was not followed"; }
# Weston's window manager frames the window (its title bar, borders and
# shadow, all in one X window below the root) and sets no
# _NET_FRAME_EXTENTS: that frame must be square all the same, nine tenths
# of the 1080-pixel height, once the game has seen the frame (a moment
# after the window maps, longer on a busy machine).
for _ in $(seq 1 50); do
    sleep 0.2
    frame=$(DISPLAY=$x_display xwininfo -children -id "$id" | awk '/Parent window id:/ { print $4 }')
    frame_info=$(DISPLAY=$x_display xwininfo -id "$frame")
    frame_w=$(echo "$frame_info" | awk '/  Width:/ { print $2 }')
    frame_h=$(echo "$frame_info" | awk '/  Height:/ { print $2 }')
    [ "$frame_w" -eq 972 ] && [ "$frame_h" -eq 972 ] && break
done
kill -0 "${pids##* }" || fail "the game on XWayland has exited"
echo "XWayland: the game's window $id is on X, in a frame of ${frame_w}x${frame_h}"
[ "$frame" != "$(DISPLAY=$x_display xwininfo -root | awk '/Window id:/ { print $4; exit }')" ] || fail "no frame"
[ "$frame_w" -eq "$frame_h" ] || fail "the frame is not square"
[ "$frame_w" -eq 972 ] || fail "frame side $frame_w, expected 972"
echo PASS
