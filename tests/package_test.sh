#!/bin/sh
# Builds the Debian package and checks its name, what it holds and what it
# needs, then runs lintian over it: errors and warnings fail the test.
#
#   package_test.sh <build dir> <version>
set -eu
# CPack and the validators read the Japanese file names only under a UTF-8
# locale, whatever the caller's is.
export LC_ALL=C.UTF-8
build=$(realpath "$1")
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
# The package serves the release it was built on, and its name says which.
. /etc/os-release
if [ -n "${VERSION_ID:-}" ]; then release="~deb$VERSION_ID"; else release="~deb[0-9]*"; fi
deb=$(ls "$out"/*.deb)
debversion=$(dpkg-deb -f "$deb" Version)
case $debversion in
    $version$release) ;;
    *) echo "FAIL: version $debversion, expected $version$release"; exit 1 ;;
esac
[ "$(basename "$deb")" = "pokotama_${debversion}_$(dpkg --print-architecture).deb" ] \
    || { echo "FAIL: file name $(basename "$deb")"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for path in ./usr/lib/pokotama/pokotama ./usr/share/pokotama/dat/0.dat ./usr/share/pokotama/dat/枯れる.tad \
            ./usr/share/applications/pokotama.desktop ./usr/share/icons/hicolor/scalable/apps/pokotama.svg \
            ./usr/share/man/man6/pokotama.6.gz ./usr/share/doc/pokotama/copyright; do
    echo "$contents" | grep -q " $path\$" || { echo "FAIL: not in the package: $path"; exit 1; }
done
echo "$contents" | grep -q ' ./usr/games/pokotama -> ../lib/pokotama/pokotama$' || { echo "FAIL: /usr/games link"; exit 1; }
echo "$contents" | grep -q ' ./usr/lib/pokotama/dat -> ../../share/pokotama/dat$' || { echo "FAIL: dat link"; exit 1; }

# Depends names exactly the packages that hold the libraries the program
# links, as this release names them (libqt6core6 on 12, libqt6core6t64 on
# 13), and the Japanese font: nothing missing, nothing more. The dictionary
# of the kana readings is recommended, as Qt's Wayland plugin is.
dpkg-deb -x "$deb" "$out/tree"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expected=$( {
    echo fonts-ipafont-gothic
    for lib in $(objdump -p "$out/tree/usr/lib/pokotama/pokotama" | awk '$1 == "NEEDED" { print $2 }'); do
        owner=""
        for dir in /usr/lib/$multiarch /lib/$multiarch; do
            owner=$(dpkg -S "$dir/$lib" 2>/dev/null | sed 's/:.*//')
            [ -n "$owner" ] && break
        done
        echo "${owner:-no package holds $lib}"
    done; } | sort -u)
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland, libmecab2, mecab-ipadic-utf8" ] || { echo "FAIL: Recommends"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
named=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep . | sort -u)
if [ "$named" != "$expected" ]; then
    echo "FAIL: Depends names"; echo "$named" | sed 's/^/    /'
    echo "  where the program's libraries are in"; echo "$expected" | sed 's/^/    /'
    exit 1
fi

lintian --fail-on error,warning --allow-root "$deb"
echo PASS
