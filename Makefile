# ぽこたま: the two commands of the README.
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test
#   make package  the Debian package, build/pokotama_<version>~deb<N>_<arch>.deb
#   make check  the quick loop: build the game and its tests, run those that
#               need no X server (no root, no apt-get; under a minute warm)
#   make bench  install what is missing, build, measure the game against
#               a bare Qt window (minutes; RUNS, STARTUPS, SECONDS to change)
#   make fresh  the README's commands on a fresh Debian (RELEASE=12, 13 or
#               testing; COMMANDS="run test"), in a chroot: tools/fresh
# The build goes to build/: build/pokotama, build/pokotama-sim, build/dat.
# make run and make package install and build only what the game needs;
# a build/ that make test has configured keeps its tests.
# make test also builds the game and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/, and the fuzz targets in
# build-fuzz/, and runs the tests of all three.
#
# Longer runs, for when there is time:
#   make soak        a million rounds of random play (build/pokotama-soak)
#   make fuzz-long   each fuzz target for FUZZ_SECONDS (default 1800)

# The game's file names and window title are Japanese, and CPack cannot
# read 枯れる.dat, nor xwininfo print ぽこたま, outside a UTF-8 locale. A
# caller without one (LANG unset, as su -, ssh and containers often leave
# it) gets Debian's C.UTF-8 for every command make runs; a caller's own
# UTF-8 locale (ja_JP.UTF-8, say) is kept for the game that make run starts.
ifneq ($(shell locale charmap 2>/dev/null),UTF-8)
export LC_ALL := C.UTF-8
endif

BUILD := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
JOBS := $(shell nproc 2>/dev/null || echo 2)
CLANGXX := clang++
FUZZ_SMOKE_SECONDS := 30
FUZZ_SECONDS := 1800

# Debian packages each goal needs. (libxcb1-dev: the window reads its frame
# from the X server where Qt does not see it; libmecab-dev: MeCab, which
# gives the kana readings told to a screen reader; libfontconfig-dev: the
# game loads fontconfig itself while Qt connects to the display.)
BUILD_PACKAGES := cmake g++ make qt6-base-dev qt6-qpa-plugins libxcb1-dev libmecab-dev libfontconfig-dev
# qt6-wayland: Qt's plugin for a Wayland desktop without XWayland;
# mecab-ipadic-utf8: the dictionary MeCab reads kanji with.
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic qt6-wayland mecab-ipadic-utf8
PACKAGE_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file
# Weston, its XWayland and Qt's Wayland plugin for the tests on a Wayland
# compositor; clang and its sanitizer and libFuzzer runtimes for build-asan/
# and build-fuzz/ (Debian's default clang, whatever its version); llvm brings
# the symbolizer that makes their reports readable. The accessibility tests
# need Qt's platform headers (to act as a screen reader in-process) and the
# AT-SPI stack with pyatspi (to be read by one); the Orca test the screen
# reader itself, speech-dispatcher with espeak-ng's voices for it to speak
# through, and procps to see that nothing it started is left running. The
# hostile machines: xrandr changes the X server's screen size, localedef
# (locales) makes a locale whose encoding is not UTF-8 and libc-l10n gives
# it the system's Japanese words, and DejaVu is the one font of a machine
# without Japanese ones. The desktops players run: sway with grim for its
# screenshots, KWin (on X11 and Wayland) with its Breeze frames, and a
# terminal (Weston's) to share sway's screen.
TEST_PACKAGES := $(RUN_PACKAGES) $(PACKAGE_PACKAGES) xvfb xauth x11-utils openbox kwin-x11 kwin-style-breeze mutter xdotool \
	weston xwayland qt6-wayland \
	desktop-file-utils appstream lintian clang libclang-rt-dev llvm python3 \
	qt6-base-private-dev at-spi2-core dbus python3-pyatspi \
	orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng procps \
	x11-xserver-utils locales libc-l10n fonts-dejavu-core \
	sway grim kwin-wayland
# (kwin-style-breeze: the title bar KWin draws; on Debian 13 it is only
# recommended, and without it KWin draws no frame.)
# The fresh-machine check: the chroot, and the X server the chroot's game
# opens its window on, looked at and photographed from outside.
FRESH_PACKAGES := git mmdebstrap util-linux xvfb x11-utils imagemagick

# The benchmark's repetitions: long (idle and played) runs and start-ups of
# each program, and the length of a long run in seconds.
RUNS := 5
STARTUPS := 15
SECONDS := 60

PACKAGES := $(BUILD_PACKAGES)

.PHONY: all build game run test check package bench asan fuzz soak fuzz-long fresh packages clean

all: build

# What the game and its package are made of; the tests are the rest of build/.
GAME_TARGETS := pokotama pokotama_dat
PACKAGE_TARGETS := $(GAME_TARGETS) pokotama_docs

# Configures build/: with the tests when $(1) is ON; when it is empty, as
# it was configured before, or without the tests in a new build/.
configure = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOKOTAMA_WERROR=ON \
	$(if $(1),-DBUILD_TESTING=$(1),$(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF))

run: PACKAGES := $(RUN_PACKAGES)
run: game
	./$(BUILD)/pokotama

game: packages
	$(call configure)
	cmake --build $(BUILD) -j$(JOBS) --target $(GAME_TARGETS)

test: PACKAGES := $(TEST_PACKAGES)
test: build asan fuzz
	cd $(BUILD) && ctest --output-on-failure --timeout 600 -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure --timeout 900 -j$(JOBS)
	cd $(FUZZ_BUILD) && ctest --output-on-failure --timeout 600 -j$(JOBS)

# The quick loop while working: what make test runs in build/ without a
# screen (the rules, the window offscreen, the data, the simulator, a
# short soak), with no package check, so no root. Labelled in CMake.
check:
	$(call configure,ON)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest -L check --output-on-failure -j$(JOBS)

# The Debian package: build/pokotama_<version>~deb<N>_<arch>.deb
package: PACKAGES := $(PACKAGE_PACKAGES)
package: packages
	$(call configure)
	cmake --build $(BUILD) -j$(JOBS) --target $(PACKAGE_TARGETS)
	cd $(BUILD) && cpack

# The game measured is build/pokotama-bench, the game with the benchmark's
# probe linked in, which only a build with the tests' targets makes; the
# benchmark needs the tests' X tools.
bench: PACKAGES := $(TEST_PACKAGES)
bench: packages
	$(call configure,ON)
	cmake --build $(BUILD) -j$(JOBS) --target pokotama-bench pokotama-floor
	bench/bench.py --game $(BUILD)/pokotama-bench --floor $(BUILD)/pokotama-floor \
		--picture $(BUILD)/dat/0.dat --runs $(RUNS) --startups $(STARTUPS) --seconds $(SECONDS)

build: packages
	$(call configure,ON)
	cmake --build $(BUILD) -j$(JOBS)

asan: PACKAGES := $(TEST_PACKAGES)
asan: packages
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CLANGXX) -DPOKOTAMA_SANITIZE=ON -DPOKOTAMA_WERROR=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

fuzz: PACKAGES := $(TEST_PACKAGES)
fuzz: packages
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CLANGXX) -DPOKOTAMA_FUZZ=ON -DPOKOTAMA_WERROR=ON \
	  -DPOKOTAMA_FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

soak: PACKAGES := $(TEST_PACKAGES)
soak: build
	./$(BUILD)/pokotama-soak

fuzz-long: PACKAGES := $(TEST_PACKAGES)
fuzz-long: fuzz
	cmake -S . -B $(FUZZ_BUILD) -DPOKOTAMA_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cd $(FUZZ_BUILD) && ctest -V --timeout $$(( $(FUZZ_SECONDS) + 600 )) -j$(JOBS)

# The README's commands on a fresh Debian: make fresh RELEASE=13 COMMANDS="run test"
RELEASE := 13
COMMANDS := run test
fresh: PACKAGES := $(FRESH_PACKAGES)
fresh: packages
	tools/fresh $(RELEASE) $(COMMANDS)

packages:
	@tools/ensure-packages $(PACKAGES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
