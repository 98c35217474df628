# Everyday commands; see README.md.
#   make demo          builds the library and kalpo (no tests, warnings not fatal) and runs
#                      a whole fiscal day on the virtual printer, every model, with its paper
#   make test          builds everything with -Werror and runs every test, Wine included
#   make test-native   the same without the Windows build (no Wine needed)
#   make format        formats the sources; make format-check only checks them
BUILD ?= build
DEMO_BUILD ?= build-demo
WIN_BUILD ?= build-win32
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# What the formatting covers.
FORMAT_DIRS = src include sim tests tools bench fuzz
FORMAT_FILES = $(shell find $(FORMAT_DIRS) -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort)

.PHONY: demo test test-native build build-windows test-windows sanitize deps deps-windows clean format format-check

deps:
	tools/install-deps.sh native

deps-windows:
	tools/install-deps.sh windows

# A user's build: whatever warnings a newer compiler finds do not stop it.
demo:
	tools/install-deps.sh demo
	cmake -S . -B $(DEMO_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_TESTS=OFF
	cmake --build $(DEMO_BUILD) -j $(JOBS) --target kalpo_tool
	$(DEMO_BUILD)/bin/kalpo demo

# The developers' and CI's build: warnings are errors; tests and benchmarks.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_WERROR=ON -DKALPO_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)

test-native: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-native
	$(MAKE) test-windows

# kalpo.dll and the makers' stand-in DLLs for 32-bit Windows (MinGW-w64).
build-windows: deps-windows
	@started=$$(date +%s) && \
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKALPO_WERROR=ON && \
	cmake --build $(WIN_BUILD) -j $(JOBS) && \
	echo "Windows build: $$(($$(date +%s) - started)) s"

# Their tests under Wine; then kalpo.exe's demo against the native kalpo's,
# when the native build has it (make test builds it first).
test-windows: build-windows
	KALPO_NATIVE_TOOL=$$([ -x $(BUILD)/bin/kalpo ] && echo $(BUILD)/bin/kalpo) tests/windows/run_wine_tests.sh $(WIN_BUILD)

# The unit tests and the C check under AddressSanitizer and
# UndefinedBehaviorSanitizer.
SAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKALPO_WERROR=ON \
	  -DCMAKE_C_FLAGS="$(SAN_FLAGS)" -DCMAKE_CXX_FLAGS="$(SAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SAN_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SAN_FLAGS)"
	cmake --build $(SAN_BUILD) -j $(JOBS)
	# The binding sales load libkalpo into Free Pascal, Mono and Python
	# processes, which cannot take the sanitizers' runtime.
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) -E '^binding_(pascal|csharp|python)$$'

format: deps
	clang-format -i $(FORMAT_FILES)

format-check: deps
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) $(DEMO_BUILD) $(WIN_BUILD) $(SAN_BUILD)
