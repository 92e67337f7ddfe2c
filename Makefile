# Front door for users and CI. Every target installs what it needs first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
SAMPLE ?= examples/FS1-CONFIG.TXT
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test test-asan lint bench fuzz screenshots clean

setup:
	@bash scripts/setup

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@bash scripts/run-sample $(BUILD_DIR) $(SAMPLE)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

lint: setup
	@bash scripts/check-format

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: setup
	@cmake --preset release >/dev/null && cmake --build --preset release -j $(JOBS)
	@bash bench/run build/release

fuzz: setup
	@cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j $(JOBS)
	@bash fuzz/run build/fuzz $${FUZZ_SECONDS:-60}

screenshots: build
	@bash scripts/screenshots $(BUILD_DIR)

clean:
	rm -rf build
