# make run: install what is missing, build, start the editor on a sample document.
# make test: install what is missing, build, run every test.
# make bench: install what is missing, build the benchmarks in Release, run them (BENCH_ARGS are passed on,
#             e.g. BENCH_ARGS=--benchmark_filter=/5M).
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=
BENCH_BUILD ?= build-bench
BENCH_ARGS ?=

.PHONY: all deps configure build test run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-sample $(BUILD)

# -Wno-error=restrict: GCC 12 at -O3 reports false overlaps inside std::string::replace.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DTIRVEL_BUILD_BENCH=ON -DTIRVEL_BUILD_GUI=OFF -DTIRVEL_BUILD_TESTS=OFF \
		-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-error=restrict $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target bench_core tirvel-bench-corpus
	$(BENCH_BUILD)/bench/bench_core $(BENCH_ARGS)

clean:
	rm -rf $(BUILD)
