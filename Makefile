# Pixelnab: `make run` builds and starts the program, `make test` builds and runs every test.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build run test native-test fuzz fuzz-build fuzz-test clang-check bench dist screenshots clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

run: build
	tools/run.sh $(abspath $(BUILD))

# The pure rules (cmake/NativeRules.cmake) and their tests built for this machine with clang
# and the address and undefined-behaviour sanitizers, then run: seconds, no Wine or display.
NATIVE := $(BUILD)/native
native-test: deps
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake -S tests/native -B $(NATIVE) -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j2 -- --no-print-directory
	@start=$$(date +%s%N); $(NATIVE)/pixelnab_rules_tests --gtest_brief=1; rc=$$?; \
	  echo "native-test: $$(( ($$(date +%s%N) - start) / 1000000 )) ms"; exit $$rc

# libFuzzer targets (tests/fuzz) for the picture header checks and the settings text, built
# for this machine with clang and the sanitizers, each run for FUZZ_SECONDS, one after the
# other (niced); findings land in $(BUILD)/fuzz/findings. `make test` runs each for a few seconds.
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
fuzz-build: deps
	@[ -f $(FUZZ)/CMakeCache.txt ] || cmake -S tests/fuzz -B $(FUZZ) -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(FUZZ) -j2 -- --no-print-directory

fuzz: fuzz-build
	@tests/fuzz/run.sh $(abspath $(FUZZ)) $(FUZZ_SECONDS)

fuzz-test:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=5

# Every product source compiled by clang for the same Windows target: no warnings allowed.
clang-check: deps
	@tools/clang-check.sh $(abspath $(BUILD))/clang-check

# Headless: the tests start their own displays and stop them, with their Wine servers, at
# the end. The native and clang checks and the fuzz build run beside the Windows build; the
# fuzz targets run after the tests, on cores of their own. CTest runs the GUI tests side by side, each on a display of its own (tools/run-tests.sh).
test: deps
	@tools/run-tests.sh $(abspath $(BUILD))

# Timings and memory at 1920x1080, 3840x2160 and 7680x4320, each on an Xvfb of its own
# started and stopped by the script, then the file benchmark at 3840x2160 and the scrolling
# capture's at 1920x1080 (not part of the build or the tests).
bench: build
	cmake --build $(BUILD) --target pixelnab_bench file_bench scroll_bench markup_bench -j2
	bench/run-bench.sh $(abspath $(BUILD))
	bench/run-markup-bench.sh $(abspath $(BUILD))
	bench/run-file-bench.sh $(abspath $(BUILD))
	bench/run-scroll-bench.sh $(abspath $(BUILD))
	cmake --build $(BUILD) --target after_capture_bench -j2
	bench/run-after-capture-bench.sh $(abspath $(BUILD))

# Portable zip and NSIS installer in $(BUILD)/dist.
dist: build
	packaging/make-dist.sh $(abspath $(BUILD))

clean:
	rm -rf $(BUILD)

# Refreshes the README's pictures in docs/screenshots from the real program (headless).
screenshots: build
	@cd $(BUILD) && { SCREENSHOTS_DIR=$(CURDIR)/docs/screenshots ctest -R '^e2e.(readme_screenshots|capture_anywhere)$$' --output-on-failure; rc=$$?; \
	  $(CURDIR)/tests/fixtures/display-stop.sh "$$PWD" >/dev/null 2>&1; exit $$rc; }
