# ぽこたま: the two commands of the README.
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test
#   make bench  install what is missing, build, measure the game against
#               a bare Qt window (minutes; RUNS, STARTUPS, SECONDS to change)
# The build goes to build/: build/pokotama, build/pokotama-sim, build/dat.

BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)

# Debian packages each goal needs.
BUILD_PACKAGES := cmake g++ make qt6-base-dev qt6-qpa-plugins
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic
TEST_PACKAGES := $(RUN_PACKAGES) xvfb xauth x11-utils openbox xdotool
BENCH_PACKAGES := $(RUN_PACKAGES) xvfb xauth x11-utils xdotool

# The benchmark's repetitions: long (idle and played) runs and start-ups of
# each program, and the length of a long run in seconds.
RUNS := 5
STARTUPS := 15
SECONDS := 60

PACKAGES := $(BUILD_PACKAGES)

.PHONY: all build run test bench packages clean

all: build

run: PACKAGES := $(RUN_PACKAGES)
run: build
	./$(BUILD)/pokotama

test: PACKAGES := $(TEST_PACKAGES)
test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600 -j$(JOBS)

bench: PACKAGES := $(BENCH_PACKAGES)
bench: build
	./$(BUILD)/pokotama-bench --game $(BUILD)/pokotama --floor $(BUILD)/pokotama-floor \
		--picture $(BUILD)/dat/0.dat --runs $(RUNS) --startups $(STARTUPS) --seconds $(SECONDS)

build: packages
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

packages:
	@tools/ensure-packages $(PACKAGES)

clean:
	rm -rf $(BUILD)
