# make run: install what is missing, build, start the editor on a sample document.
# make check: the fast loop while developing: the normal build (warnings as errors, as in make test)
#             and every test but those labelled slow.
# make test: install what is missing, build, run every test, check the Debian package, then the tests
#            in the sanitizer build.
# make package-check: the Debian package of the normal build (build/), checked with lintian.
# make test-asan: everything, the editor too, built with ASan and UBSan (build-asan), and every test run.
# make fuzz: every fuzz harness for FUZZ_SECONDS each (build-fuzz, clang).
# make bench: install what is missing, build the benchmarks in Release, run them (BENCH_ARGS are passed on,
#             e.g. BENCH_ARGS=--benchmark_filter=/5M).
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
BENCH_BUILD ?= build-bench
BENCH_ARGS ?=
# Warnings are errors in the check, test, sanitizer and fuzz builds (and so in CI), not in a user's
# plain build. Without WERROR given, build and run keep what the build folder was configured with:
# switching between them and check or test then rebuilds only what changed, not everything for a flag.
WERROR ?=
check test test-asan fuzz: WERROR = ON

.PHONY: all deps configure build check test test-asan package-check fuzz run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(WERROR),-DTIRVEL_WERROR=$(WERROR)) \
		$(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --label-exclude slow

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory package-check WERROR=$(WERROR)
	@$(MAKE) --no-print-directory test-asan

package-check: build
	@scripts/check-package $(BUILD)

# Any sanitizer report ends the test that made it with a failure.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIRVEL_SANITIZE=ON -DTIRVEL_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j $(JOBS)

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DTIRVEL_BUILD_FUZZ=ON -DTIRVEL_BUILD_GUI=OFF -DTIRVEL_BUILD_TESTS=OFF -DTIRVEL_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)
	@fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

run: build
	@scripts/run-sample $(BUILD)

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DTIRVEL_BUILD_BENCH=ON -DTIRVEL_BUILD_GUI=OFF -DTIRVEL_BUILD_TESTS=OFF \
		-DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target bench_core tirvel-bench-corpus
	$(BENCH_BUILD)/bench/bench_core $(BENCH_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
