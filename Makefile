# The README's two commands: `make run` and `make test`. Both install whatever
# Debian packages are missing, configure and build first.
JOBS ?= $(shell nproc)

# A sanitizer finding fails its test: UBSan only prints unless told to halt.
ASAN_ENV := ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
TSAN_ENV := TSAN_OPTIONS=halt_on_error=1:die_after_fork=0

.PHONY: all deps configure build test test-windows bench-windows run package asan tsan clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	cmake --build --preset default -j $(JOBS)

# Every suite, then the library, core and qxsim suites under ASan/UBSan, the
# library suites under TSan, a short run of every fuzz target, and qxlib.dll's
# suites under Wine.
test: build
	ctest --preset default -j $(JOBS) --output-on-failure
	@$(MAKE) --no-print-directory asan tsan
	@bash scripts/fuzz-smoke.sh
	@$(MAKE) --no-print-directory test-windows

# qxlib.dll cross-built with mingw-w64 (build-windows), its engine and port
# suites and the LoadLibrary program run under Wine in a fresh prefix, beside
# the Linux build's qxsim.
test-windows: configure
	cmake --build --preset default -j $(JOBS) --target qxsim qx_wine_run qxcli_wine_test
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	ctest --preset windows -j $(JOBS) --output-on-failure

# The polling rate of qxlib.dll under Wine beside libqxlib.so's, both against
# qxsim over loopback TCP (and the Linux library's libmodbus figures).
bench-windows: configure
	cmake --build --preset default -j $(JOBS) --target qxsim qx_wine_run bench_port_poll
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target bench_port_poll
	bash tests/windows/wine_prefix.sh create build-windows/wineprefix
	build/bench/bench_port_poll 10 0 --windows build-windows; \
	status=$$?; bash tests/windows/wine_prefix.sh end build-windows/wineprefix; exit $$status

run: build
	@bash scripts/run.sh

# The Debian package build/qxtools_<version>_<arch>.deb (CPack), checked by
# lintian: an error fails the target.
package: build
	rm -f build/qxtools_*.deb
	cd build && cpack -G DEB
	lintian --fail-on error build/qxtools_*.deb

# The GoogleTest suites (library, cores, qxsim) under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan); the window's Qt Test suites (label
# gui) are left out.
asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS) --target gtest_suites
	$(ASAN_ENV) ctest --preset asan -j $(JOBS) --output-on-failure -LE gui

# The library suites under ThreadSanitizer (build-tsan).
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS) --target library_suites
	$(TSAN_ENV) ctest --preset tsan -j $(JOBS) --output-on-failure -L lib

clean:
	rm -rf build build-asan build-tsan build-fuzz build-windows
