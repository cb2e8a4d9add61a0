# ぽこたま: the two commands of the README.
#   make run    install what is missing, build, start the game
#   make test   install what is missing, build, run every test
#   make package  the Debian package, build/pokotama_<version>_<arch>.deb
# The build goes to build/: build/pokotama, build/pokotama-sim, build/dat.

BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)

# Debian packages each goal needs.
BUILD_PACKAGES := cmake g++ make qt6-base-dev qt6-qpa-plugins
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic
PACKAGE_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file
TEST_PACKAGES := $(RUN_PACKAGES) $(PACKAGE_PACKAGES) xvfb xauth x11-utils openbox xdotool \
	desktop-file-utils appstream lintian

PACKAGES := $(BUILD_PACKAGES)

.PHONY: all build run test package packages clean

all: build

run: PACKAGES := $(RUN_PACKAGES)
run: build
	./$(BUILD)/pokotama

test: PACKAGES := $(TEST_PACKAGES)
test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600 -j$(JOBS)

# The Debian package: build/pokotama_<version>_<arch>.deb
package: PACKAGES := $(PACKAGE_PACKAGES)
package: build
	cd $(BUILD) && cpack

build: packages
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

packages:
	@tools/ensure-packages $(PACKAGES)

clean:
	rm -rf $(BUILD)
