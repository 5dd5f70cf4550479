# Builds the Windows module on Linux with mingw-w64 and runs everything under Wine.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
FORMAT_DIRS = hostapi foundation eventconfig extension dialog controls winlib host tests bench
# The toolchain is chosen once, when the build folder is first configured.
TOOLCHAIN = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)

.PHONY: all deps configure build test demo package format clean

all: build

deps:
	@tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(TOOLCHAIN) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS) -- --no-print-directory -s

test: build
	@tools/run-tests $(BUILD)

demo: build
	@tools/demo $(BUILD)

# Builds only what ships, then zips it into $(BUILD)/dist/.
package: configure
	@cmake --build $(BUILD) --target dist -j$(JOBS) -- --no-print-directory -s

format:
	@find $(FORMAT_DIRS) \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf $(BUILD)
