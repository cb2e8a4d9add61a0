#!/bin/sh
# The game on a Wayland desktop players run, the compositor started
# headless: sway or KWin, at output scale 1 and 2, the game on Wayland as on
# a desktop with XWayland beside it (DISPLAY and WAYLAND_DISPLAY both set).
# Each case is photographed whole and read by desktop_shot against the
# game on a bare X server (Xvfb, 1920x1080, no window manager, a square
# window): undistorted, all four lines of the opening, wholly on the
# screen, centred, crisp and the counters of 育 open. Once per compositor
# the game goes through XWayland at scale 2 instead, which the compositor
# upscales (sway doubles the pixels, KWin smooths them): the crisp check
# must see it. sway also shows the game in a short tile, under a terminal.
# The screenshots stay in OUTDIR.
#
#   desktop_test.sh <pokotama> <desktop_shot> sway|kwin <OUTDIR>
#
# sway refuses to run as root: as root, the compositors and the game run as
# nobody, from copies in a private folder. Exits 77 (skipped) where there
# is no such user.
set -eu
game=$(readlink -f "$1")
shot=$(readlink -f "$2")
desktop=$3
out=$4
export LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS \
    XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME

as_user=""
if [ "$(id -u)" -eq 0 ]; then
    id nobody >/dev/null 2>&1 || { echo "SKIP: no user nobody to run $desktop as"; exit 77; }
    as_user="setpriv --reuid=nobody --regid=$(id -g nobody) --clear-groups --inh-caps=-all"
    # As a system's start-up leaves it: XWayland servers of every user
    # put their sockets here.
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
fi
tmp=$(mktemp -d)
pids=""
cleanup() {
    for p in $pids; do kill -TERM "$p" 2>/dev/null || true; done
    sleep 0.2
    for p in $pids; do kill -KILL "$p" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' TERM INT
# The game, its data and the tools, where the user can read them.
mkdir -p "$tmp/bin" "$tmp/home" "$out"
cp "$game" "$shot" "$tmp/bin/"
cp -r "$(dirname "$game")/dat" "$tmp/bin/"
[ "$desktop" != kwin ] || cp "$(command -v kwin_wayland)" "$tmp/bin/"
[ -z "$as_user" ] || chown -R nobody "$tmp"
chmod 700 "$tmp"
export HOME="$tmp/home" SHELL=/bin/sh
rm -f "$out"/*.png

fail=0
table=""
# The picture of the moment, read; returns desktop_shot's status.
grab_and_read() {
    grab "$tmp/shot.png" >"$tmp/grab.log" 2>&1 || return 2
    QT_QPA_PLATFORM=offscreen "$shot" read "$tmp/shot.png" "$@" >"$tmp/read.log" 2>&1
}
# Waits for the game, then for two readings alike (its layout settled), and
# keeps that picture as OUTDIR/NAME.png.
photograph() {
    name=$1
    shift
    last="" status=2
    for _ in $(seq 60); do
        sleep 0.25
        status=0
        grab_and_read "$@" || status=$?
        [ "$status" -ne 2 ] || continue
        [ "$(cat "$tmp/read.log")" = "$last" ] && break
        last=$(cat "$tmp/read.log")
    done
    cp "$tmp/shot.png" "$out/$name.png" 2>/dev/null || true
    sed "s/^/  $name: /" "$tmp/read.log"
    return "$status"
}
# Starts the game as the user with the given environment, in the background.
start_game() {
    $as_user env "$@" "$tmp/bin/pokotama" >>"$tmp/game.log" 2>&1 &
    pids="$pids $!"
}
stop_all() {
    for p in $pids; do kill -TERM "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=""
}
# Reads the case NAME (its row in the table: desktop, path, scale) and
# says whether it is what it should be: all checks passed, or for an
# upscaled XWayland window, the crisp check failed.
judge() {
    name=$1 row=$2 expect=$3 scale=$4
    photograph "$name" "$tmp/reference.png" "$scale" || true
    verdicts=$(sed -n 's/^verdict //p' "$tmp/read.log")
    table="$table$(printf '%-30s %s' "$row" "${verdicts:-no game on the screen}")
"
    case "$expect:$verdicts" in
        pass:*:no*|pass:) echo "FAIL: $row: $verdicts"; fail=1 ;;
        blurred:*crisp:no*) ;;
        blurred:*) echo "FAIL: $row: the crisp check passed an upscaled window: $verdicts"; fail=1 ;;
    esac
}

# The reference: the game on a bare X server, its window square.
grab() { $as_user env DISPLAY="$display" QT_QPA_PLATFORM=xcb "$tmp/bin/desktop_shot" grab-x11 "$1"; }
$as_user Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$tmp/xvfb.display" 2>"$tmp/xvfb.log" &
pids="$pids $!"
for _ in $(seq 50); do [ -s "$tmp/xvfb.display" ] && break; sleep 0.1; done
display=:$(cat "$tmp/xvfb.display")
start_game DISPLAY="$display" QT_QPA_PLATFORM=xcb
photograph reference || { cat "$tmp/game.log"; echo "FAIL: no reference: the game on Xvfb not found"; exit 1; }
cp "$out/reference.png" "$tmp/reference.png"
stop_all

run=$tmp/run
case $desktop in
sway)
    grab() { $as_user env XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 grim "$1"; }
    start_desktop() {  # scale, the tiles' orientation
        rm -rf "$run"
        $as_user mkdir -m 700 "$run"
        cat >"$tmp/sway.config" <<EOF
output HEADLESS-1 resolution 1920x1080 position 0 0 scale $1
default_orientation $2
xwayland enable
exec echo "\$DISPLAY" >$run/display
EOF
        $as_user env XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
            WLR_RENDERER=pixman setsid sway -c "$tmp/sway.config" >"$tmp/desktop.log" 2>&1 &
        pids="$pids -$!"
        for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
        [ -s "$run/display" ] || { cat "$tmp/desktop.log"; echo "FAIL: sway did not start"; exit 1; }
    }
    ;;
kwin)
    grab() { $as_user env XDG_RUNTIME_DIR="$run" DBUS_SESSION_BUS_ADDRESS="$(cat "$run/bus")" \
        QT_QPA_PLATFORM=offscreen "$tmp/bin/desktop_shot" grab-kwin "$1"; }
    start_desktop() {
        rm -rf "$run"
        $as_user mkdir -m 700 "$run"
        # KWin starts the program after it, with its XWayland's DISPLAY.
        $as_user env XDG_RUNTIME_DIR="$run" KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 setsid dbus-run-session -- \
            "$tmp/bin/kwin_wayland" --virtual --width 1920 --height 1080 --scale "$1" --xwayland \
            --socket wayland-1 --no-lockscreen \
            "sh -c 'echo \"\$DBUS_SESSION_BUS_ADDRESS\" >$run/bus; echo \"\$DISPLAY\" >$run/display; exec sleep 600'" \
            >"$tmp/desktop.log" 2>&1 &
        pids="$pids -$!"
        for _ in $(seq 150); do [ -s "$run/display" ] && break; sleep 0.1; done
        [ -s "$run/display" ] || { cat "$tmp/desktop.log"; echo "FAIL: KWin did not start"; exit 1; }
    }
    ;;
*)
    echo "usage: desktop_test.sh <pokotama> <desktop_shot> sway|kwin <OUTDIR>" >&2
    exit 2
    ;;
esac

# The game as a player starts it on the desktop: it must choose Wayland by
# itself, which the crisp check at scale 2 sees.
for scale in 1 2; do
    start_desktop "$scale" horizontal
    start_game XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 DISPLAY="$(cat "$run/display")"
    judge "scale$scale" "$desktop native scale $scale" pass "$scale"
    stop_all
done
start_desktop 2 horizontal
start_game XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 DISPLAY="$(cat "$run/display")" QT_QPA_PLATFORM=xcb
judge scale2-xwayland "$desktop XWayland scale 2" blurred 2
stop_all
if [ "$desktop" = sway ]; then
    # A short tile: a terminal above the game.
    start_desktop 1 vertical
    $as_user env XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 weston-terminal >"$tmp/terminal.log" 2>&1 &
    pids="$pids $!"
    sleep 1
    start_game XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY=wayland-1 DISPLAY="$(cat "$run/display")"
    judge stacked "$desktop native scale 1 stacked" pass 1
    stop_all
fi

echo
printf '%-30s %s\n' "desktop, path, scale" "checks"
printf '%s' "$table"
[ "$fail" -eq 0 ] && echo PASS
exit "$fail"
