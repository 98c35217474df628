# The two everyday commands; see README.md.
BUILD ?= build
WIN_BUILD ?= build-win32
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test build clean build-windows test-windows sanitize deps deps-windows

deps:
	tools/install-deps.sh native

deps-windows:
	tools/install-deps.sh windows

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/bin/kalpo_demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-windows

# kalpo.dll and the makers' stand-in DLLs for 32-bit Windows (MinGW-w64).
build-windows: deps-windows
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(WIN_BUILD) -j $(JOBS)

# Their tests under Wine.
test-windows: build-windows
	tests/windows/run_wine_tests.sh $(WIN_BUILD)

# The unit tests and the C check under AddressSanitizer and
# UndefinedBehaviorSanitizer.
SAN_BUILD ?= build-sanitize
SAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="$(SAN_FLAGS)" -DCMAKE_CXX_FLAGS="$(SAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SAN_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SAN_FLAGS)"
	cmake --build $(SAN_BUILD) -j $(JOBS) --target kalpo_tests kalpo_c_api kalpo_sim_core_tests kalpo_day_tests
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(WIN_BUILD) $(SAN_BUILD)
