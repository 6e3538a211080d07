# The README's two commands: `make run` and `make test`. Both install whatever
# Debian packages are missing, configure and build first.
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run fuzz-smoke asan tsan clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default -j $(JOBS) --output-on-failure
	@bash scripts/fuzz-smoke.sh

run: build
	@bash scripts/run.sh

# Sanitizer runs for developers (not part of `make test`).
# UBSan only prints by default; halting makes a finding fail its test.
asan: deps
	cmake --preset asan >/dev/null && cmake --build --preset asan -j $(JOBS)
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --preset asan -j $(JOBS) --output-on-failure

tsan: deps
	cmake --preset tsan >/dev/null && cmake --build --preset tsan -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:die_after_fork=0 \
	    ctest --preset tsan -j $(JOBS) --output-on-failure -L lib

clean:
	rm -rf build build-asan build-tsan build-fuzz
