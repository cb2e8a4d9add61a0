#!/bin/sh
# Plays the built game by keyboard with the real Orca screen reader
# listening, on a private X server under openbox, with a private D-Bus
# session and AT-SPI bus, speech-dispatcher speaking through espeak-ng into
# an ALSA device that throws the sound away, and a fresh HOME, so Orca
# starts on its defaults. orca_play.py plays a round to each ending and
# starts over between them, then checks what Orca sent to speech, read from
# its debug log. Orca speaks Japanese, as for a Japanese player: it takes
# its voice's language from the locale, ja_JP.UTF-8 (made by localedef in a
# folder of its own), while LANGUAGE=en keeps its own words (button,
# notification) English for the checks.
# Exits 77 (skipped) when another Orca of this user runs:
# Orca refuses to start beside one, and this test never stops another's.
#
#   orca_test.sh <pokotama> [reader-captions]
set -eu
game=$(readlink -f "$1")
captions=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C.UTF-8

if [ -z "${POKOTAMA_ORCA_STAGE:-}" ]; then
    export POKOTAMA_ORCA_STAGE=session
    # -noreset: the helpers come and go on the display, and a server that
    # resets as its last client leaves would refuse the next.
    exec xvfb-run -a -s "-noreset -screen 0 1366x768x24" dbus-run-session -- "$0" "$@"
fi
if [ "$POKOTAMA_ORCA_STAGE" = session ]; then
    # A process group of its own, so that everything started below, and
    # whatever it starts in turn, ends with this script.
    export POKOTAMA_ORCA_STAGE=group
    exec setsid -w "$0" "$@"
fi
unset QT_QPA_PLATFORM

tmp=$(mktemp -d)
# Whatever this script started and is still running, but this script.
left() {
    ps -o pid=,stat=,comm= -g $$ >"$tmp/left" 2>/dev/null || true
    awk -v self=$$ '$1 != self && $2 !~ /^Z/ && $3 != "ps" { print $1 }' "$tmp/left"
}
cleanup() {
    trap '' TERM INT
    kill -TERM -- -$$ 2>/dev/null || true
    # Five seconds to end cleanly, then no more.
    for _ in $(seq 50); do
        [ -z "$(left)" ] && break
        sleep 0.1
    done
    kill -KILL $(left) 2>/dev/null || true
    wait 2>/dev/null || true
    # POKOTAMA_ORCA_KEEP=DIR keeps Orca's whole debug log there.
    [ -z "${POKOTAMA_ORCA_KEEP:-}" ] || cp "$tmp/orca.log" "$POKOTAMA_ORCA_KEEP/" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No sound card: ALSA's default device swallows what it is given.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
cp -r /etc/speech-dispatcher "$tmp/speechd"
cat >>"$tmp/speechd/speechd.conf" <<'CONF'
AudioOutputMethod "alsa"
DefaultModule espeak-ng
CONF

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
openbox >/dev/null 2>&1 &
speech-dispatcher -s -t 0 -C "$tmp/speechd" -L "$tmp" >"$tmp/speechd.out" 2>&1 &

# Orca's debug log line by line, so the test can wait on what it says.
mkdir "$tmp/python"
cp "$here/orca_linebuffer.py" "$tmp/python/sitecustomize.py"
log="$tmp/orca.log"
mkdir "$tmp/locale"
if ! localedef -i ja_JP -f UTF-8 "$tmp/locale/ja_JP.UTF-8" >"$tmp/localedef.out" 2>&1; then
    cat "$tmp/localedef.out"
    echo "FAIL: localedef cannot make ja_JP.UTF-8: install the Debian package locales"
    exit 1
fi
LOCPATH="$tmp/locale" LC_ALL=ja_JP.UTF-8 LANGUAGE=en PYTHONPATH="$tmp/python" POKOTAMA_ORCA_LOG="$log" \
    orca --debug-file "$log" >"$tmp/orca.out" 2>&1 &
orca=$!

status=0
/usr/bin/python3 "$here/orca_play.py" "$game" "$log" "$orca" $captions || status=$?
if [ "$status" -eq 3 ]; then
    cat "$tmp/orca.out"
    echo "SKIP: another Orca of this user is running"
    exit 77
fi
if [ "$status" -ne 0 ]; then
    echo "--- Orca's last words"
    tail -n 40 "$log" 2>/dev/null || true
    echo "--- speech-dispatcher"
    tail -n 5 "$tmp/speechd.out"
fi
exit "$status"
