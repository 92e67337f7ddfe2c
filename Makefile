# Front door for users and CI. Every target installs what it needs first:
# make run and make package the build set, the others also the test tools.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
SAMPLE ?= examples/FS1-CONFIG.TXT
JOBS ?= $(shell nproc)

.PHONY: setup setup-test configure programs build run test test-asan lint tidy bench fuzz screenshots package clean

setup:
	@bash scripts/setup

setup-test:
	@bash scripts/setup test

configure: setup
	@cmake --preset $(PRESET) >/dev/null

# The two programs only (no tests, no benchmarks).
programs: configure
	@cmake --build --preset $(PRESET) -j $(JOBS) --target programs

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: programs
	@bash scripts/run-sample $(BUILD_DIR) $(SAMPLE)

test: setup-test build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

lint: setup-test
	@bash scripts/check-format

# clang-tidy over the core with the checks of .clang-tidy; any finding fails.
tidy: setup-test configure
	@bash scripts/check-tidy $(BUILD_DIR)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: setup-test
	@cmake --preset release >/dev/null && cmake --build --preset release -j $(JOBS)
	@bash bench/run build/release

fuzz: setup-test
	@cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j $(JOBS)
	@bash fuzz/run build/fuzz $${FUZZ_SECONDS:-60}

screenshots: setup-test build
	@bash scripts/screenshots $(BUILD_DIR)

# A .deb of the two programs with their data, desktop entry, man pages and completion.
package: setup
	@cmake --preset package >/dev/null && cmake --build --preset package -j $(JOBS)
	@cd build/package && cpack -G DEB >/dev/null
	@ls build/package/qxconfig_*.deb

clean:
	rm -rf build
