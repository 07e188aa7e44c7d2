# make test: install what is missing, build everything, run every test.
# make run:  build and start the program on an example file.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
BUILD := build
JOBS := $(shell nproc)
WINE_ARCH = $(shell source tools/wine-env.sh && echo $$ZIMBEL_WINE_ARCH)

.PHONY: all deps native release export win32 win64 wine-build test test-native test-wasm test-fuzz test-export test-wine test-vm vm-smoke \
  install uninstall deb test-deb run bench fuzz longrun dist clean web serve test-web web-driver test-serve tsan

all: native win32

deps:
	@tools/install-deps.sh

native: deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug -DZIMBEL_SANITIZE=ON >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

# zimbelplot-export and zimbelplot-serve, optimised, beside the sanitizer
# tree, with their manual pages and bash completions.
release: deps
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/release -j$(JOBS) --target zimbelplot-export export-docs zimbelplot-serve serve-docs

# The exporter and the server, their manual pages and completions, the
# page, the service unit, the README and the examples under
# $(DESTDIR)$(PREFIX); make uninstall, with the same DESTDIR, takes back what
# the last install put down.
PREFIX ?= /usr/local
install: release web
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)/release --prefix "$(PREFIX)"
	cp $(BUILD)/release/install_manifest.txt $(BUILD)/release/installed-files.txt

uninstall:
	tools/uninstall.sh $(BUILD)/release/installed-files.txt "$(DESTDIR)"

# build/zimbelplot-export_<version>_<arch>.deb and
# build/zimbelplot-serve_<version>_<arch>.deb from the optimised tree.
deb: release web
	rm -f $(BUILD)/zimbelplot-export_*.deb $(BUILD)/zimbelplot-serve_*.deb
	cd $(BUILD)/release && cpack -G DEB -B package >/dev/null
	mv $(BUILD)/release/package/zimbelplot-export_*.deb $(BUILD)/release/package/zimbelplot-serve_*.deb $(BUILD)/
	@ls $(BUILD)/zimbelplot-export_*.deb $(BUILD)/zimbelplot-serve_*.deb

# The packages as a user gets them: lintian, then installed into a throwaway
# root and taken out again.
test-deb: deb
	tools/deb-test.sh $(BUILD)/zimbelplot-export_*.deb $(BUILD)/release $(BUILD)/zimbelplot-serve_*.deb
	tools/serve-deb-test.sh $(BUILD)/zimbelplot-serve_*.deb $(BUILD)/release $(BUILD)/web

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
	$(MAKE) test-native test-wasm test-fuzz test-export test-deb test-serve test-web test-wine

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

# The PE32 exporter is a console program on system DLLs; the optimised native
# one passes the program tests the sanitizer build passes.
test-export: release win32 native
	tools/check-pe32.sh $(BUILD)/win32/export/zimbelplot-export.exe console
	ZIMBEL_EXPORT=$(abspath $(BUILD))/release/export/zimbelplot-export \
	  $(BUILD)/native/tests/export/export_tests --gtest_filter='ExportProgramTest.*'

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

# zimbelplot-serve as a process, its sanitizer build: the page and pictures
# against the exporter's bytes, hostile requests, a full queue, SIGTERM, and
# two instances behind nginx with one killed (one to two minutes). The optimised
# build is run by the package's test and the browser tests.
test-serve: web native tsan
	ctest --test-dir $(BUILD)/tsan -R '^serve_tests$$' --output-on-failure
	ZIMBEL_SERVE_TREE=$(BUILD)/native tests/serve/serve-tests.sh

# The server's unit tests alone under ThreadSanitizer, in a tree of their own.
tsan: deps
	cmake -S . -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=Debug -DZIMBEL_TSAN=ON >/dev/null
	cmake --build $(BUILD)/tsan -j$(JOBS) --target serve_tests

# Median times of a paint's work and of a PNG save under Wine, then the
# exporters against gnuplot, the server against the exporter and nginx, then
# the page's module under node and the page in headless Chromium.
bench: wine-build release web web-driver
	tools/bench.sh
	tools/export-bench.sh
	tools/serve-bench.sh
	node --no-experimental-fetch tools/web-bench.js build/web
	node tools/page-bench.mjs

run: deps
	$(MAKE) wine-build
	tools/run.sh examples/wave.txt

# The page: the core as wasm, the page's files beside it, and the page in one
# file that works from disk (build/web/zimbelplot.html).
web: deps
	tools/web-build.sh
	node tools/web-single.mjs

# The page it builds, and every link's picture, on 127.0.0.1:$(PORT).
PORT ?= 8016
serve: web release
	$(BUILD)/release/serve/zimbelplot-serve --listen 127.0.0.1:$(PORT) --root $(BUILD)/web

# The browser driver from the lockfile, installed again only when the lockfile
# is newer than what is installed.
web-driver: deps
	@cd tests/web && if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then \
	  npm ci --no-audit --no-fund; fi

# The page in headless Chromium against the native exporter.
test-web: web release web-driver
	cd tests/web && node --test

# The release archives: build/zimbelplot-<version>-win32.zip, and
# build/zimbelplot-<version>-web.zip for any static host.
dist: win32 web
	tools/dist.sh

clean:
	rm -rf $(BUILD)

