# A thin front to the CMake presets. `make run` plays the game, `make test` runs every test.
# Each target installs what it needs first (scripts/setup): `make run` only the compiler, CMake
# and SDL2; `make test`, `make bench` and `make fuzz` add their own.
# CMAKE_FLAGS is passed to every configure step (CI sets -DLSR_WERROR=ON).
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
.PHONY: all build run test debug test-asan test-tsan bench fuzz install screenshots format clean \
	mutants testratio

all: build

build:
	@scripts/setup run
	@cmake --preset default $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset default

run: build
	./build/default/zephyrine

test:
	@scripts/setup test
	@cmake --preset default -DLSR_BUILD_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset default
	@ctest --preset default

debug:
	@scripts/setup run
	@cmake --preset debug $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset debug

test-asan:
	@scripts/setup test
	@cmake --preset asan $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

test-tsan:
	@scripts/setup test
	@cmake --preset tsan $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

# The benchmarks' references are installed here only; configuring again finds them.
bench:
	@scripts/setup bench
	@cmake --preset default -DLSR_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset default --target benchmarks
	@bench/run build/default

FUZZ_SECONDS ?= 60
fuzz:
	@scripts/setup fuzz
	@cmake --preset fuzz $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset fuzz --target fuzzers
	@FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run-all build/fuzz

# The library, the SDL platform, the public headers, tarnpack, the CMake package and the
# pkg-config file, under PREFIX.
install: build
	@cmake --install build/default --prefix $(PREFIX)

# Planted faults (scripts/mutants.list), each built and run against the unit and game tests in a
# scratch copy under build/mutants; fails when a fault survives. MUTANTS picks faults by id or
# pattern, e.g. make mutants MUTANTS='sound-*'.
MUTANTS ?=
mutants:
	@scripts/setup test
	@scripts/mutants $(MUTANTS)

# Lines of test code against lines of code.
testratio:
	@scripts/testratio

# The pictures of docs/: the game and every example, rendered headless.
screenshots:
	@scripts/screenshots

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
