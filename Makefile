# make test: install what is missing, build everything, run every test.
# make run:  build and start the program on an example file.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
BUILD := build
JOBS := $(shell nproc)
WINE_ARCH = $(shell source tools/wine-env.sh && echo $$ZIMBEL_WINE_ARCH)

.PHONY: all deps native win32 wine-build test test-native test-fuzz test-wine run bench fuzz longrun clean

all: native win32

deps:
	@tools/install-deps.sh

native: deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug -DZIMBEL_SANITIZE=ON >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

# The product: zimbelplot.exe, PE32 for i686.
win32: deps
	cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	cmake --build $(BUILD)/win32 -j$(JOBS)

# The Windows tree the local Wine can run: win32, or win64 where the kernel
# runs no 32-bit code.
wine-build: win32
	@if [ "$(WINE_ARCH)" = win64 ]; then \
	  cmake -S . -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null && \
	  cmake --build $(BUILD)/win64 -j$(JOBS); fi

test: deps
	$(MAKE) test-native test-fuzz test-wine

test-native: native
	ctest --test-dir $(BUILD)/native --output-on-failure

# A short bounded run of every fuzzer; `make fuzz` runs them longer.
test-fuzz: deps
	FUZZ_SECONDS=20 tools/fuzz.sh

fuzz: deps
	tools/fuzz.sh

# 10 000 paints and 1 000 loads against the program, with its figures.
longrun: deps
	$(MAKE) wine-build
	tools/longrun.sh

test-wine: wine-build
	tools/check-pe32.sh $(BUILD)/win32/shell/zimbelplot.exe
	tools/wine-tests.sh

# Median times of a paint's work and of a PNG save under Wine.
bench: wine-build
	tools/bench.sh

run: deps
	$(MAKE) wine-build
	tools/run.sh examples/wave.txt

clean:
	rm -rf $(BUILD)

# zimbelplot-export: the optimised native exporter beside the sanitizer tree,
# the PE32 one in the Windows trees. `make test` and `make bench` take them in.
.PHONY: release export test-export bench-export dist
release: deps
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/release -j$(JOBS) --target zimbelplot-export

export: release win32

test: test-export
test-export: release win32
	tools/check-pe32.sh $(BUILD)/win32/export/zimbelplot-export.exe console
	$(BUILD)/release/export/zimbelplot-export examples/wave.txt -o - | cmp -s -n 8 - <(printf '\x89PNG\r\n\x1a\n')

bench: bench-export
bench-export: release wine-build
	tools/export-bench.sh

# The release archive: build/zimbelplot-<version>-win32.zip.
dist: win32
	tools/dist.sh
