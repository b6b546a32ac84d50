# Thin wrapper over CMake + Ninja. Build tree: build/, programs in build/bin/.
BUILD   ?= build
CMAKE   ?= cmake
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CONFIG  ?= RelWithDebInfo
EXTRA_CMAKE_ARGS ?=

.PHONY: all build configure programs test bench demo corpus-check fuzz windows test-windows clean

all: build

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(CONFIG) $(EXTRA_CMAKE_ARGS)

configure: $(BUILD)/build.ninja

build: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# The programs alone: no test or benchmark framework needed.
programs: configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target mayaimport glowbox-import glowbox-dal

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Converts every corpus scene and compares the output with the stored sums.
corpus-check: programs
	tests/corpus_output/check.sh $(BUILD)

# Every benchmark program in build/bench, one after the other.
bench: build
	@set -e; for b in $(BUILD)/bench/*; do \
	  [ -x "$$b" ] || continue; echo "== $$b"; "$$b"; done

# Converts the bundled example scene with the launcher (which reports what came
# out) and draws it from its first camera.
demo: programs
	@mkdir -p $(BUILD)/demo
	$(BUILD)/bin/glowbox-import examples/demo_scene.ma -o $(BUILD)/demo/demo_scene.dal
	@$(BUILD)/bin/glowbox-dal preview $(BUILD)/demo/demo_scene.dal -o $(BUILD)/demo/demo_scene.png \
	  && echo "== preview: $(BUILD)/demo/demo_scene.png" \
	  || echo "== no preview (glowbox-dal was built without libpng: install libpng-dev)"

# The fuzz targets, built in the sanitizer tree (clang), each run for
# FUZZ_SECONDS from its seeds.
FUZZ_BUILD   ?= build-sanitize
FUZZ_SECONDS ?= 60
fuzz:
	$(CMAKE) -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DGLOWBOX_SANITIZE=ON $(EXTRA_CMAKE_ARGS)
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The 64-bit Windows programs and tests, cross-built with MinGW-w64; the tests
# run under Wine, and every corpus scene must convert to the same bytes as with
# the Linux programs.
WINDOWS_BUILD ?= build-windows
windows:
	$(CMAKE) -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake $(EXTRA_CMAKE_ARGS)
	$(CMAKE) --build $(WINDOWS_BUILD) -j $(JOBS)

test-windows: windows programs
	tests/windows/run-tests.sh $(WINDOWS_BUILD)
	tests/windows/compare-corpus.sh $(BUILD) $(WINDOWS_BUILD)

clean:
	rm -rf $(BUILD)
