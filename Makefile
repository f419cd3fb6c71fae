# A thin front to the CMake presets. `make run` plays the game, `make test` runs every test.
# CMAKE_FLAGS is passed to every configure step (CI sets -DLSR_WERROR=ON).
CMAKE_FLAGS ?=
.PHONY: all setup build run test debug test-asan test-tsan bench fuzz format clean

all: build

setup:
	@scripts/setup

build: setup
	@cmake --preset default $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset default

run: build
	./build/default/zephyrine

test: build
	@ctest --preset default

debug: setup
	@cmake --preset debug $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset debug

test-asan: setup
	@cmake --preset asan $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

test-tsan: setup
	@cmake --preset tsan $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

# The benchmarks' references are installed here only; configuring again finds them.
bench:
	@scripts/setup bench
	@cmake --preset default $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset default --target benchmarks
	@bench/run build/default

FUZZ_SECONDS ?= 60
fuzz: setup
	@cmake --preset fuzz $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset fuzz --target fuzzers
	@FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run-all build/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
