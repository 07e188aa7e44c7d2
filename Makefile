# make test: install what is missing, build everything, run every test.
# make run:  build and start the program on an example file.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
BUILD := build
JOBS := $(shell nproc)
WINE_ARCH = $(shell source tools/wine-env.sh && echo $$ZIMBEL_WINE_ARCH)

.PHONY: all deps native release export win32 win64 wine-build test test-native test-wasm test-fuzz test-export test-wine test-vm vm-smoke \
  run bench fuzz longrun dist clean

all: native win32

deps:
	@tools/install-deps.sh

native: deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug -DZIMBEL_SANITIZE=ON >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

# zimbelplot-export, optimised, beside the sanitizer tree.
release: deps
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/release -j$(JOBS) --target zimbelplot-export

# Both exporters: the native one and the PE32 console program.
export: release win32

# The product: zimbelplot.exe, PE32 for i686.
win32: deps
	cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	cmake --build $(BUILD)/win32 -j$(JOBS)

# The same sources for x86-64: the fast test loop, and the tree the local Wine
# runs where the kernel runs no 32-bit code.
win64: deps
	cmake -S . -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	cmake --build $(BUILD)/win64 -j$(JOBS)

# The Windows tree the local Wine can run.
wine-build: win32
	@if [ "$(WINE_ARCH)" = win64 ]; then $(MAKE) win64; fi

test: deps
	$(MAKE) test-native test-wasm test-fuzz test-export test-wine

test-native: native
	ctest --test-dir $(BUILD)/native --output-on-failure

# The model, renderer and page C API suites as WebAssembly under node, and
# the page's module against the native exporter.
test-wasm: deps
	tools/web-build.sh test

# A short bounded run of every fuzzer; `make fuzz` runs them longer.
test-fuzz: deps
	FUZZ_SECONDS=20 tools/fuzz.sh

fuzz: deps
	tools/fuzz.sh

# 10 000 paints and 1 000 loads against the program, with its figures.
longrun: deps
	$(MAKE) wine-build
	tools/longrun.sh

# The exporters exist as built: the PE32 a console program on system DLLs,
# the native one writes a PNG.
test-export: release win32
	tools/check-pe32.sh $(BUILD)/win32/export/zimbelplot-export.exe console
	$(BUILD)/release/export/zimbelplot-export examples/wave.txt -o - | cmp -s -n 8 - <(printf '\x89PNG\r\n\x1a\n')

# The x86-64 tests first (fast), then the shipped PE32 and its i686 tests:
# under the local 32-bit Wine, or in a virtual machine where the kernel runs
# no 32-bit code. Where it runs 32-bit code, one short job in the virtual
# machine keeps that path tested.
test-wine: win32 win64
	tools/check-pe32.sh $(BUILD)/win32/shell/zimbelplot.exe
	ZIMBEL_WINE_ARCH=win64 tools/wine-tests.sh
	tools/win32-tests.sh
	@if [ "$(WINE_ARCH)" = win32 ]; then tools/vm-smoke.sh; fi

# The i686 tests in the virtual machine even where 32-bit code runs here.
test-vm: win32
	ZIMBEL_VM=1 tools/win32-tests.sh

# One i686 test binary in the virtual machine.
vm-smoke: win32
	tools/vm-smoke.sh

# Median times of a paint's work and of a PNG save under Wine, then the
# exporters against gnuplot, then the page's module under node.
bench: wine-build release
	tools/bench.sh
	tools/export-bench.sh
	tools/web-build.sh
	node --no-experimental-fetch tools/web-bench.js build/web

run: deps
	$(MAKE) wine-build
	tools/run.sh examples/wave.txt

# The release archive: build/zimbelplot-<version>-win32.zip.
dist: win32
	tools/dist.sh

clean:
	rm -rf $(BUILD)

