# The two everyday commands; see README.md.
BUILD ?= build
WIN_BUILD ?= build-win32
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test build clean build-windows test-windows

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/bin/kalpo_demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-windows

# kalpo.dll and the makers' stand-in DLLs for 32-bit Windows (MinGW-w64).
build-windows:
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(WIN_BUILD) -j $(JOBS)

# Their tests under Wine.
test-windows: build-windows
	tests/windows/run_wine_tests.sh $(WIN_BUILD)

clean:
	rm -rf $(BUILD) $(WIN_BUILD)
