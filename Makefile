# Kestrix: `make run` builds and starts the program, `make test` runs every test, `make fuzz`
# runs the fuzz targets for a while. Each first installs the Debian packages it needs when any
# is missing.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 4)
# Seconds each fuzz target runs: long for `make fuzz`, briefly as part of `make test`.
FUZZ_SECONDS       ?= 60
FUZZ_SHORT_SECONDS ?= 8

RUN_PACKAGES  := cmake g++ make pkg-config qt6-base-dev libqt6opengl6-dev libqt6sql6-sqlite \
                 libcups2-dev libxcb1-dev libfontconfig-dev fonts-dejavu-core xvfb xauth
# libFuzzer comes with clang's runtime libraries.
FUZZ_PACKAGES := $(RUN_PACKAGES) clang libclang-rt-dev
# The benchmarks run on virtual X servers of their own (Xvfb, with openbox as the window
# manager), watch them through the DAMAGE extension and drive the real program through XTEST;
# the tests build them and run each case once.
BENCH_PACKAGES := $(RUN_PACKAGES) libbenchmark-dev openbox libxcb-damage0-dev libxcb-xtest0-dev
# The print tests start print servers of their own (cupsd, with the lp tools to stop a queue
# and look at its jobs); none of them touches the machine's print system. xdotool and x11-utils
# drive and watch the real program on a virtual X server, as a person would.
TEST_PACKAGES := $(FUZZ_PACKAGES) $(BENCH_PACKAGES) libgtest-dev libgmock-dev poppler-utils \
                 imagemagick cups-daemon cups-client xdotool x11-utils

.PHONY: all run test test-plain test-asan test-fuzz fuzz bench build build-asan build-fuzz \
        deps-run deps-test deps-bench deps-fuzz format clean

all: build

# Installs what is missing: as root directly, otherwise it prints the command to run.
define ensure_packages
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    export DEBIAN_FRONTEND=noninteractive; \
	    apt-get update && apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing packages. Run:"; \
	    echo "  sudo apt-get update && sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

deps-run:
	$(call ensure_packages,$(RUN_PACKAGES))

# After the program's packages, so that two installs never run at once under -j.
deps-test: deps-fuzz
	$(call ensure_packages,$(TEST_PACKAGES))

deps-bench: deps-run
	$(call ensure_packages,$(BENCH_PACKAGES))

deps-fuzz: deps-run
	$(call ensure_packages,$(FUZZ_PACKAGES))

# A build folder is configured only once its packages are installed (order-only, so that the
# configure also waits under -j). `make run` and `make bench` configure the plain build without
# the tests, whose packages only `make test` installs; test-plain turns them on.
$(BUILD)/CMakeCache.txt: | deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIX_TESTS=OFF
bench: | $(BUILD)/CMakeCache.txt

$(ASAN_BUILD)/CMakeCache.txt: | deps-test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_SANITIZE=ON

build: deps-run $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target kestrix

build-asan: deps-test $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The fuzz targets alone, built with clang under libFuzzer, ASan and UBSan.
$(FUZZ_BUILD)/CMakeCache.txt: | deps-fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DKESTRIX_FUZZ=ON

build-fuzz: deps-fuzz $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Starts the program; without a display it runs on a virtual X server.
run: build
	@if [ -n "$$DISPLAY" ]; then \
	  ./$(BUILD)/kestrix; \
	else \
	  echo "No DISPLAY: starting on a virtual X server (xvfb-run)."; \
	  xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/kestrix; \
	fi

test: test-plain test-asan test-fuzz

# Configured again, so that test libraries installed since `make run` are found.
test-plain: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIX_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) \
	    --no-tests=error

test-asan: build-asan
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) \
	    --no-tests=error

# Each fuzz target briefly, so that a reader that breaks fails the tests.
test-fuzz: build-fuzz
	tests/fuzz/run_fuzzers.sh $(FUZZ_BUILD)/fuzz_targets.tsv $(FUZZ_SHORT_SECONDS)

fuzz: build-fuzz
	tests/fuzz/run_fuzzers.sh $(FUZZ_BUILD)/fuzz_targets.tsv $(FUZZ_SECONDS)

# The benchmark starts its own virtual X servers. The results go to the console and, as Google
# Benchmark's JSON, to $(BUILD)/bench-<run>.json; BENCH_ARGS passes its flags, e.g.
# BENCH_ARGS=--drags=100, BENCH_ARGS=--benchmark_filter=Release/graph, or
# BENCH_ARGS=--busy=$$(nproc) for the drags once more beside a busy process a processor.
bench: deps-bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIX_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS) --target kestrix_bench
	./$(BUILD)/bench/kestrix_bench \
	    --benchmark_out=$(BUILD)/bench.json --benchmark_out_format=json $(BENCH_ARGS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
