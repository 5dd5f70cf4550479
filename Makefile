# Builds the Windows module on Linux with mingw-w64 and runs everything under Wine.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
FORMAT_DIRS = foundation eventconfig extension dialog controls winlib host tests demo bench

.PHONY: all deps configure build test demo format clean

all: build

deps:
	@tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS) -- --no-print-directory -s

test: build
	@tools/run-tests $(BUILD)

demo: build
	@tools/demo $(BUILD)

format:
	@find $(FORMAT_DIRS) \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf $(BUILD)
