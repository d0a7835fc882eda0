# The two commands of the README. Both install what is missing (as root), build libpng from
# Debian's source, configure and build; then `make test` runs every test under Wine and
# `make run` starts the panel on the simulated GPU. `make dist` makes the installer and the
# portable zip in build/dist/, `make bench` prints the benchmarks' figures as one table and
# `make screenshots` makes the user guide's pictures again.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup configure build dist bench screenshots

test: build
	tools/run-tests.sh $(BUILD)

run: build
	tools/run-demo.sh $(BUILD)

dist: build
	cmake --build $(BUILD) --target dist

bench: build
	tools/run-bench.py $(BUILD)

screenshots: build
	tools/screenshots.py $(BUILD) docs/images

setup:
	tools/setup-debian.sh
	tools/build-libpng.sh $(BUILD)/deps

# Skips stay failures here even in a build folder once configured to allow them.
configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVARNOK_ALLOW_SKIPS=OFF

build: configure
	cmake --build $(BUILD) -j$(JOBS)
