# Front door. `make demo` builds and runs the installer for the sample product;
# `make test` builds everything and runs every test. Both install what they need.
BUILD   ?= build
PRODUCT ?= $(CURDIR)/sample
JOBS    ?= 2

HOST_DIR  := $(BUILD)/host
WIN32_DIR := $(BUILD)/win32
WIN64_DIR := $(BUILD)/win64

.PHONY: all deps host win32 wintest test test-host test-win demo bench screenshots clean

all: win32

deps:
	@sh cmake/deps.sh

host: deps
	cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(HOST_DIR) -j$(JOBS)

# The deliverable: out/vorn-setup.exe (PE32, i686). Its Wine tests are registered
# here when this machine runs 32-bit code.
win32: host
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DVORNPACK=$(abspath $(HOST_DIR))/tools/vornpack -DVORN_PRODUCT_DIR=$(PRODUCT) \
	  -DVORN_WINE_TESTS=$$([ "$$(sh cmake/wine-arch.sh)" = i686 ] && echo ON || echo OFF)
	cmake --build $(WIN32_DIR) -j$(JOBS)

# The same sources for x86_64, built only where Wine cannot run 32-bit programs:
# that build carries the Wine tests and the demo run.
wintest: win32
	@if [ "$$(sh cmake/wine-arch.sh)" = x86_64 ]; then \
	  cmake -S . -B $(WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    -DVORNPACK=$(abspath $(HOST_DIR))/tools/vornpack -DVORN_PRODUCT_DIR=$(PRODUCT) \
	    -DVORN_WINE_TESTS=ON && \
	  cmake --build $(WIN64_DIR) -j$(JOBS); fi

# The win32 tree always has tests (the installer's form); where Wine cannot run
# 32-bit programs, the Wine tests are in the win64 tree.
test: wintest
	ctest --test-dir $(HOST_DIR) --output-on-failure -j$(JOBS)
	ctest --test-dir $(WIN32_DIR) --output-on-failure
	@if [ "$$(sh cmake/wine-arch.sh)" = x86_64 ]; then \
	  ctest --test-dir $(WIN64_DIR) --output-on-failure; fi

demo: wintest
	@sh tests/demo.sh $(abspath $(BUILD))

# The README's pictures of the wizard (docs/screenshots), from an end-to-end run.
screenshots: wintest
	@sh tests/screenshots.sh $(abspath $(BUILD))

bench: win32
	@sh bench/run.sh $(abspath $(HOST_DIR))

clean:
	rm -rf $(BUILD) out
