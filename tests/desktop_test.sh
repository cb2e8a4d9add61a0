#!/bin/sh
# The game on a Wayland desktop players run, its compositor started
# headless: sway or KWin, at output scale 1 and 2, with XWayland, so that
# the game starts as on a real desktop (DISPLAY and WAYLAND_DISPLAY both
# set). It must take Wayland, and desktop_shot reads each screenshot
# against the game on a bare X server (Xvfb, 1920x1080, no window manager,
# a square window): crisp, undistorted, all four lines of the opening,
# wholly on the screen, centred in its window, 育's counters open. sway
# also gives it a short tile, under a terminal. Then the game is sent
# through XWayland at scale 2 (QT_QPA_PLATFORM=xcb): where the compositor
# upscales X11 programs (sway, KWin 5) the crisp check must fail; where it
# lets them draw at its scale (KWin 6) it must pass. The crisp check is
# also shown the reference upscaled, smoothed and doubled. The screenshots
# stay in OUTDIR.
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
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY XAUTHORITY SWAYSOCK DBUS_SESSION_BUS_ADDRESS \
    XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME
case $desktop in
sway | kwin) ;;
*) echo "usage: desktop_test.sh <pokotama> <desktop_shot> sway|kwin <OUTDIR>" >&2; exit 2 ;;
esac

as_user=""
if [ "$(id -u)" -eq 0 ]; then
    id nobody >/dev/null 2>&1 || { echo "SKIP: no user nobody to run $desktop as"; exit 77; }
    as_user="setpriv --reuid=nobody --regid=$(id -g nobody) --clear-groups --inh-caps=-all"
    # Every user's X servers put their sockets here, as a system's start-up
    # leaves it.
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
fi
tmp=$(mktemp -d)
pids=""
# Ends them all, each group whole: a compositor outlives for a moment the
# session that started it, and then removes its socket.
stop_all() {
    for p in $pids; do kill -TERM "$p" 2>/dev/null || true; done
    for _ in $(seq 50); do
        left=""
        for p in $pids; do kill -0 "$p" 2>/dev/null && left=1; done
        [ -z "$left" ] && break
        sleep 0.1
    done
    for p in $pids; do kill -KILL "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=""
}
trap 'stop_all; rm -rf "$tmp"' EXIT
trap 'exit 1' TERM INT HUP PIPE
# The game, its data and the tools, where the user can read them. A copy
# of kwin_wayland has none of the file capabilities the user may not take.
mkdir -p "$tmp/bin" "$tmp/home" "$out"
cp "$game" "$shot" "$tmp/bin/"
cp -r "$(dirname "$game")/dat" "$tmp/bin/"
[ "$desktop" != kwin ] || cp "$(command -v kwin_wayland)" "$tmp/bin/"
[ -z "$as_user" ] || chown -R nobody "$tmp"
chmod 700 "$tmp"
export HOME="$tmp/home" SHELL=/bin/sh
rm -f "$out"/*.png
fail=0

# Runs in the background as the user, in a process group of its own.
spawn() {
    $as_user setsid "$@" &
    pids="$pids -$!"
}
# An X server of the given size; its name goes into $display.
start_x() {
    spawn Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$tmp/xvfb.display" 2>"$tmp/xvfb.log"
    for _ in $(seq 50); do [ -s "$tmp/xvfb.display" ] && break; sleep 0.1; done
    display=:$(cat "$tmp/xvfb.display")
    rm "$tmp/xvfb.display"
}
# The whole screen: an X server's, or sway's through grim.
grab() {
    if [ -n "$display" ]; then
        $as_user env DISPLAY="$display" QT_QPA_PLATFORM=xcb "$tmp/bin/desktop_shot" grab-x11 "$1"
    else
        $as_user env $session grim "$1"
    fi
}
# Waits for the game on the screen, then for two readings alike (its
# layout settled), and keeps that picture as OUTDIR/NAME.png.
photograph() {
    name=$1
    shift
    last="" status=2
    for _ in $(seq 40); do
        sleep 0.25
        status=2
        if grab "$tmp/shot.png" >"$tmp/read.log" 2>&1; then
            status=0
            QT_QPA_PLATFORM=offscreen "$shot" read "$tmp/shot.png" "$@" >"$tmp/read.log" 2>&1 || status=$?
        fi
        [ "$status" -eq 2 ] && continue
        [ "$(cat "$tmp/read.log")" = "$last" ] && break
        last=$(cat "$tmp/read.log")
    done
    cp "$tmp/shot.png" "$out/$name.png" 2>/dev/null || true
    sed "s/^/  $name: /" "$tmp/read.log"
    return "$status"
}

# The reference: the game on a bare X server, its window square.
start_x 1920x1080
spawn env DISPLAY="$display" QT_QPA_PLATFORM=xcb "$tmp/bin/pokotama" >"$tmp/game.log" 2>&1
photograph reference || { cat "$tmp/game.log"; echo "FAIL: no reference: the game on Xvfb not found"; exit 1; }
cp "$out/reference.png" "$tmp/reference.png"
stop_all
# The crisp check must see the reference upscaled, smoothed (as KWin's
# OpenGL scene shows an XWayland window at scale 2) or its pixels doubled.
for how in smooth doubled; do
    "$shot" upscale "$tmp/reference.png" "$tmp/$how.png" "$how"
    verdicts=$(QT_QPA_PLATFORM=offscreen "$shot" read "$tmp/$how.png" "$tmp/reference.png" 2 | tee "$tmp/read.log" \
        | sed -n 's/^verdict //p')
    sed "s/^/  reference $how: /" "$tmp/read.log"
    case $verdicts in
        *crisp:no*) ;;
        *) echo "FAIL: the crisp check passed the reference upscaled ($how)"; fail=1 ;;
    esac
done

# The compositor at a scale, its tiles side by side (horizontal) or
# stacked (vertical), in a runtime folder of the case's own. What it tells
# the programs it starts (its Wayland socket, its XWayland, its session
# bus) goes into $session.
start_desktop() {
    run=$tmp/run-$name
    $as_user mkdir -m 700 "$run"
    display=""
    if [ "$desktop" = sway ]; then
        cat >"$tmp/sway.config" <<EOF
output HEADLESS-1 resolution 1920x1080 position 0 0 scale $1
default_orientation $2
xwayland enable
exec env >$run/env.new && mv $run/env.new $run/env
EOF
        spawn env XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            sway -c "$tmp/sway.config" >"$tmp/desktop.log" 2>&1
    else
        # KWin in a window that fills an X server of the output's size in
        # pixels, photographed there: KWin's own screenshots want OpenGL,
        # which KWin 6 renders with only on a GPU. It starts the program
        # given it once its XWayland is up.
        start_x "$((1920 * $1))x$((1080 * $1))"
        spawn env XDG_RUNTIME_DIR="$run" dbus-run-session -- "$tmp/bin/kwin_wayland" --x11-display "$display" \
            --width 1920 --height 1080 --scale "$1" --xwayland --socket wayland-1 --no-lockscreen \
            "sh -c 'env >$run/env.new && mv $run/env.new $run/env'" >"$tmp/desktop.log" 2>&1
    fi
    for _ in $(seq 150); do [ -s "$run/env" ] && break; sleep 0.1; done
    [ -s "$run/env" ] || { cat "$tmp/desktop.log"; echo "FAIL: $desktop did not start"; exit 1; }
    session="XDG_RUNTIME_DIR=$run $(grep -E '^(WAYLAND_DISPLAY|DISPLAY|XAUTHORITY|DBUS_SESSION_BUS_ADDRESS)=' "$run/env")"
}

# One case: the game started on the desktop at SCALE with the environment
# given, photographed and read. As a player starts it, it must take Wayland
# and pass every check. Sent through XWayland, it must be crisp where the X
# screen has as many pixels as the output (the compositor lets X11
# programs draw at its scale: KWin 6 by default), else not crisp.
table=""
play() {
    name=$1 scale=$2 tiles=$3
    shift 3
    start_desktop "$scale" "$tiles"
    if [ "$tiles" = vertical ]; then
        spawn env $session weston-terminal >"$tmp/terminal.log" 2>&1
        sleep 1
    fi
    spawn env $session "$@" "$tmp/bin/pokotama" >"$tmp/game.log" 2>&1
    photograph "$name" "$tmp/reference.png" "$scale" || true
    verdicts=$(sed -n 's/^verdict //p' "$tmp/read.log")
    path=Wayland
    if $as_user env $session xwininfo -root -tree | grep -q '"ぽこたま": ('; then
        path=X11
        width=$($as_user env $session xwininfo -root | awk '/Width:/ { print $2 }')
        if grep -q "^screen ${width}x" "$tmp/read.log"; then path="X11 (its own scale)"; fi
    fi
    table="$table$(printf '%-6s %-20s %-5s %-9s %s' "$desktop" "$path" "$scale" "$name" "${verdicts:-no game seen}")
"
    case "$*|$path|$verdicts" in
        *"|" | "|Wayland|"*:no*) good=no ;;
        "|Wayland|"* | *xcb"|X11|"*crisp:no* | *xcb"|X11 (its own scale)|"*crisp:yes*) good=yes ;;
        *) good=no ;;
    esac
    if [ "$good" = no ]; then
        echo "FAIL: $name: $path, ${verdicts:-no game seen}; the game's output:"
        cat "$tmp/game.log"
        fail=1
    fi
    stop_all
}

play scale1 1 horizontal
play scale2 2 horizontal
[ "$desktop" != sway ] || play stacked 1 vertical
play xwayland 2 horizontal QT_QPA_PLATFORM=xcb

echo
printf '%-6s %-20s %-5s %-9s %s\n' desktop path scale case checks
printf '%s' "$table"
[ "$fail" -eq 0 ] && echo PASS
exit "$fail"
