#!/bin/sh
# Installs the game into staging folders, as the package does (prefix /usr)
# and as someone building from source might (prefix /usr/local), checks the
# desktop entry and the metainfo with their validators, then starts each
# installed game through its launcher link from an unrelated working
# directory on a private X server and checks its window.
#
#   install_test.sh <build dir> <x11_window.sh>
set -eu
# The Japanese file names and the window title need a UTF-8 locale,
# whatever the caller's is.
export LC_ALL=C.UTF-8
build=$(realpath "$1")
window_check=$(realpath "$2")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# install <prefix> <launcher folder>
install() {
    DESTDIR="$stage" cmake --install "$build" --prefix "$1" >/dev/null
    root="$stage$1"
    for path in "$2/pokotama" lib/pokotama/pokotama lib/pokotama/dat/opn.tad \
                share/pokotama/dat/muni.tad share/applications/pokotama.desktop \
                share/metainfo/example.munimaru.pokotama.metainfo.xml \
                share/icons/hicolor/scalable/apps/pokotama.svg share/icons/hicolor/32x32/apps/pokotama.png \
                share/icons/hicolor/256x256/apps/pokotama.png share/man/man6/pokotama.6.gz \
                share/doc/pokotama/copyright share/doc/pokotama/changelog.gz; do
        [ -e "$root/$path" ] || { echo "FAIL: not installed: $1/$path"; exit 1; }
    done
    # Links are relative, so the tree works wherever it is unpacked.
    [ "$(readlink "$root/$2/pokotama")" = ../lib/pokotama/pokotama ] || { echo "FAIL: $1/$2/pokotama"; exit 1; }
    # The desktop entry starts the launcher by its full path, whatever the
    # search path of the desktop's launcher holds.
    exec_line=$(grep '^Exec=' "$root/share/applications/pokotama.desktop")
    [ "$exec_line" = "Exec=$1/$2/pokotama" ] || { echo "FAIL: $1: $exec_line"; exit 1; }
}
install /usr games
[ ! -e "$stage/usr/bin/pokotama" ] || { echo "FAIL: /usr/bin/pokotama: Debian keeps games in /usr/games"; exit 1; }
install /usr/local bin

usr="$stage/usr"
desktop-file-validate "$usr/share/applications/pokotama.desktop"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/example.munimaru.pokotama.metainfo.xml"

cd "$stage"
"$window_check" "$stage/usr/games/pokotama" bare
"$window_check" "$stage/usr/local/bin/pokotama" bare
