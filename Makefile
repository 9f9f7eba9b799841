# Kestrix: `make run` builds and starts the program, `make test` runs every test.
# Both first install the Debian packages they need when any is missing.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 4)

RUN_PACKAGES  := cmake g++ make pkg-config qt6-base-dev libqt6opengl6-dev libqt6sql6-sqlite \
                 fonts-dejavu-core xvfb xauth
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev libgmock-dev poppler-utils imagemagick
BENCH_PACKAGES := $(RUN_PACKAGES) libbenchmark-dev

.PHONY: all run test test-plain test-asan bench build build-asan deps-run deps-test deps-bench \
        format clean

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

deps-test:
	$(call ensure_packages,$(TEST_PACKAGES))

deps-bench:
	$(call ensure_packages,$(BENCH_PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_SANITIZE=ON

build: deps-run $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target kestrix

build-asan: deps-test $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Starts the program; without a display it runs on a virtual X server.
run: build
	@if [ -n "$$DISPLAY" ]; then \
	  ./$(BUILD)/kestrix; \
	else \
	  echo "No DISPLAY: starting on a virtual X server (xvfb-run)."; \
	  xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/kestrix; \
	fi

test: test-plain test-asan

# Configured again, so that test libraries installed since `make run` are found.
test-plain: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) \
	    --no-tests=error

test-asan: build-asan
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) \
	    --no-tests=error

# The results go to the console and, as Google Benchmark's JSON, to $(BUILD)/bench.json;
# BENCH_ARGS passes Google Benchmark's own flags, e.g. BENCH_ARGS=--benchmark_repetitions=5.
bench: deps-bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIX_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS) --target kestrix_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/kestrix_bench \
	    --benchmark_out=$(BUILD)/bench.json --benchmark_out_format=json $(BENCH_ARGS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
