#!/bin/sh
# Builds the Debian package and checks what it holds and what it needs,
# then runs lintian over it: errors and warnings fail the test.
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
deb=$(ls "$out"/pokotama_"$version"_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/lib/pokotama/pokotama ./usr/share/pokotama/dat/0.dat ./usr/share/pokotama/dat/枯れる.tad \
            ./usr/share/applications/pokotama.desktop ./usr/share/icons/hicolor/scalable/apps/pokotama.svg \
            ./usr/share/man/man6/pokotama.6.gz ./usr/share/doc/pokotama/copyright; do
    echo "$contents" | grep -q " $path\$" || { echo "FAIL: not in the package: $path"; exit 1; }
done
echo "$contents" | grep -q ' ./usr/games/pokotama -> ../lib/pokotama/pokotama$' || { echo "FAIL: /usr/games link"; exit 1; }
echo "$contents" | grep -q ' ./usr/lib/pokotama/dat -> ../../share/pokotama/dat$' || { echo "FAIL: dat link"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in fonts-ipafont-gothic libqt6widgets6 libqt6gui6 libqt6core6; do
    echo "$depends" | grep -q "$need" || { echo "FAIL: no dependency on $need"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "FAIL: version"; exit 1; }

lintian --fail-on error,warning --allow-root "$deb"
echo PASS
