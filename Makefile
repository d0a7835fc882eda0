# The two commands of the README. Both install what is missing (as root), build libpng from
# Debian's source, configure and build; then `make test` runs every test under Wine and
# `make run` starts the panel on the simulated GPU.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup configure build

test: build
	tools/run-tests.sh $(BUILD)

run: build
	tools/run-demo.sh $(BUILD)

setup:
	tools/setup-debian.sh
	tools/build-libpng.sh $(BUILD)/deps

# Skips stay failures here even in a build folder once configured to allow them.
configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVARNOK_ALLOW_SKIPS=OFF

build: configure
	cmake --build $(BUILD) -j$(JOBS)
