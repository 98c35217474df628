# Everyday commands; see README.md.
#   make demo          builds the library and kalpo (no tests, warnings not fatal) and runs
#                      a whole fiscal day on the virtual printer, every model, with its paper
#   make test          builds everything with -Werror and runs every test, Wine included
#   make test-native   the same without the Windows build (no Wine needed)
#   make bench         builds and runs the benchmarks and prints the table export/floor
#   make bench-serve   kalpo serve's latency and memory with idle sockets and stalled streams open
#   make fuzz          builds the fuzz targets (clang) and runs each for FUZZ_SECONDS
#   make tsan          the library's and the service's tests under ThreadSanitizer
#   make format        formats the sources; make format-check only checks them
#   make dist          release builds of their own, and in dist/ the four .deb packages, the
#                      Linux tarball, the Windows zip and installer and the three Python
#                      wheels, byte for byte the same from any clone of the same commit
#   make test-dist     make dist, then each of its files tested as a user would use it,
#                      lintian included, and a second make dist from a clone compared
#   make test-reproducible-nocache   the second clone's make dist with the compiler
#                      cache off, compared (slow: everything compiled anew)
#   make test-source-release   make dist in the unpacked source release, compared (slow)
BUILD ?= build
DEMO_BUILD ?= build-demo
WIN_BUILD ?= build-win32
SAN_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
DIST ?= dist
DIST_BUILD ?= build-dist
DIST_WIN_BUILD ?= build-dist-win32
DIST_REUSE ?= 0
# RELEASE_TREES=1: make test configures its trees as make dist's release trees
# (packaging/configure_release.sh) with the tests and benchmarks; CI gives
# them make dist's folders and DIST_REUSE=1, so that they are built once.
RELEASE_TREES ?= 0
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# New trees are configured for Ninja when it is installed (tools/install-deps.sh
# installs it); the demo's stays with make, whose output it condenses.
GENERATOR = CMAKE_GENERATOR="$$(command -v ninja >/dev/null && echo Ninja || echo 'Unix Makefiles')"

# What the formatting covers.
FORMAT_DIRS = src include sim tests tools bench fuzz
FORMAT_FILES = $(shell find $(FORMAT_DIRS) -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort)

.PHONY: bench bench-serve fuzz demo test test-native build build-windows test-windows sanitize tsan deps deps-windows clean format format-check \
	dist test-dist test-reproducible-nocache test-source-release

deps:
	tools/install-deps.sh native

deps-windows:
	tools/install-deps.sh windows

# A user's build: whatever warnings a newer compiler finds do not stop it.
# Neither optimisation nor debug information (build type Demo): it builds in
# a third of the time, and the demo runs as fast.  Its progress shows in one
# line; a build with nothing to do shows nothing.
demo:
	@tools/install-deps.sh demo
	@[ -f $(DEMO_BUILD)/Makefile ] || { echo "Configuring the build in $(DEMO_BUILD)"; \
	  cmake -S . -B $(DEMO_BUILD) -DCMAKE_BUILD_TYPE=Demo -DCMAKE_CXX_FLAGS_DEMO=-DNDEBUG -DCMAKE_C_FLAGS_DEMO=-DNDEBUG \
	  -DKALPO_TESTS=OFF -DKALPO_REPLAY=OFF >/dev/null; }
	@{ cmake --build $(DEMO_BUILD) -j $(JOBS) --target kalpo_tool -- --no-print-directory || echo "build failed"; } \
	  | awk -f tools/kalpo/build_progress.awk
	@$(DEMO_BUILD)/bin/kalpo demo

# The developers' and CI's build: warnings are errors; tests and benchmarks.
build: deps
ifeq ($(RELEASE_TREES),1)
	packaging/configure_release.sh native $(BUILD) -DKALPO_TESTS=ON -DKALPO_BENCHMARKS=ON
else
	$(GENERATOR) cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_WERROR=ON -DKALPO_BENCHMARKS=ON
endif
	cmake --build $(BUILD) -j $(JOBS)

test-native: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-native
	$(MAKE) test-windows

# kalpo.dll, the virtual printer's maker DLLs and kalpo.exe for 32-bit Windows (MinGW-w64).
build-windows: deps-windows
	@started=$$(date +%s) && \
	$(if $(filter 1,$(RELEASE_TREES)),packaging/configure_release.sh windows $(WIN_BUILD) -DKALPO_TESTS=ON, \
	  $(GENERATOR) cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKALPO_WERROR=ON) && \
	cmake --build $(WIN_BUILD) -j $(JOBS) && \
	echo "Windows build: $$(($$(date +%s) - started)) s"

# Their tests under Wine; then kalpo.exe's demo against the native kalpo's,
# when the native build has it (make test builds it first).
test-windows: build-windows
	KALPO_NATIVE_TOOL=$$([ -x $(BUILD)/bin/kalpo ] && echo $(BUILD)/bin/kalpo) tests/windows/run_wine_tests.sh $(WIN_BUILD)

# The tests against a build under AddressSanitizer and
# UndefinedBehaviorSanitizer.
SAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
sanitize: deps
	$(GENERATOR) cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKALPO_WERROR=ON \
	  -DCMAKE_C_FLAGS="$(SAN_FLAGS)" -DCMAKE_CXX_FLAGS="$(SAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SAN_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SAN_FLAGS)"
	cmake --build $(SAN_BUILD) -j $(JOBS)
	# The binding sales load libkalpo into Free Pascal, Mono and Python
	# processes, which cannot take the sanitizers' runtime.
	# KALPO_SANITIZED: the address sanitizer keeps freed memory, so no test
	# judges the service's resident memory there.
	cd $(SAN_BUILD) && KALPO_SANITIZED=1 ctest --output-on-failure -j $(JOBS) -E '^binding_(pascal|csharp|python)$$'

# The library's unit tests and the service's tests (in process, and over
# HTTP against kalpo serve) under ThreadSanitizer: only what they need is
# built.  A race stops the process that has it (halt_on_error), so the test
# fails.  -Wno-tsan: GCC warns that the sanitizer does not see Asio's fences;
# Asio's queues are guarded by its mutexes as well.
TSAN_FLAGS = -fsanitize=thread -fno-omit-frame-pointer
TSAN_TARGETS = kalpo_tests kalpo_serve_tests kalpo_tool scripted_bemafi32
tsan: deps
	@started=$$(date +%s) && \
	$(GENERATOR) cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DKALPO_WERROR=ON -DKALPO_TSAN=ON \
	  -DCMAKE_C_FLAGS="$(TSAN_FLAGS)" -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS) -Wno-tsan" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(TSAN_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(TSAN_FLAGS)" >/dev/null && \
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS) && \
	cd $(TSAN_BUILD) && export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" KALPO_SANITIZED=1 && \
	bin/kalpo_tests --gtest_brief=1 && bin/kalpo_serve_tests --gtest_brief=1 && \
	ctest --output-on-failure -j $(JOBS) -R '^serve_(http|api|safety|stop|printer_watch)$$' && \
	echo "ThreadSanitizer: $$(($$(date +%s) - started)) s"

# The benchmarks (bench/): an optimised build without the tests.
bench: deps
	$(GENERATOR) cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKALPO_WERROR=ON -DKALPO_TESTS=OFF -DKALPO_BENCHMARKS=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target kalpo_bench
	$(BENCH_BUILD)/bin/kalpo_bench --rss --benchmark_min_time=$(BENCH_MIN_TIME)
BENCH_MIN_TIME ?= 0.05

# kalpo serve with 500 idle sockets and 20 event streams that never read
# open: 1,000 calls' latency and the service's memory (bench/serve_attack.py).
bench-serve: deps
	$(GENERATOR) cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKALPO_WERROR=ON -DKALPO_TESTS=OFF -DKALPO_BENCHMARKS=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target kalpo_tool
	python3 bench/serve_attack.py $(BENCH_BUILD)/bin/kalpo

# The fuzz targets (fuzz/), clang with libFuzzer and the sanitizers; each runs
# FUZZ_SECONDS from its seed corpus (fuzz/corpus/<target>/), JOBS of them at a
# time, and stops at the first finding.  CI runs them with FUZZ_SECONDS=20.
FUZZ_TARGETS = fuzz_text fuzz_profile fuzz_answers fuzz_amounts fuzz_exports fuzz_trace fuzz_serve
FUZZ_SECONDS ?= 600
fuzz:
	tools/install-deps.sh fuzz
	$(GENERATOR) CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_WERROR=ON \
	  -DKALPO_TESTS=OFF -DKALPO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS) $(FUZZ_TARGETS)

# The release files (packaging/make_dist.sh): file names carry the version of
# include/kalpo.h; every time in them is SOURCE_DATE_EPOCH (by default the last
# commit's); it ends with the time taken and each file's size.
dist:
	tools/install-deps.sh dist
	DIST=$(DIST) DIST_BUILD=$(DIST_BUILD) DIST_WIN_BUILD=$(DIST_WIN_BUILD) DIST_REUSE=$(DIST_REUSE) JOBS=$(JOBS) \
	  packaging/make_dist.sh

# The packages installed and used as a user would (tests/dist/run.sh).
test-dist: dist
	tests/dist/run.sh $(DIST)

format: deps
	@clang-format -i $(FORMAT_FILES)

format-check: deps
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "format: $(words $(FORMAT_FILES)) files as the house style has them"

clean:
	rm -rf $(BUILD) $(DEMO_BUILD) $(WIN_BUILD) $(SAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(DIST_BUILD) $(DIST_WIN_BUILD) $(DIST)

# Slow checks of the release files, outside CI's time: a second clone's
# make dist with the compiler cache off, and make dist from the source
# release; each compares every file with dist/'s, byte for byte.
test-reproducible-nocache:
	@[ -d $(DIST) ] || $(MAKE) dist
	work=$$(mktemp -d) && trap 'rm -rf "$$work"' EXIT && \
	  started=$$(date +%s) && CCACHE_DISABLE=1 tests/dist/reproducible.sh $(DIST) "$$work" && \
	  echo "cache off: $$(($$(date +%s) - started)) s"
test-source-release:
	@[ -d $(DIST) ] || $(MAKE) dist
	work=$$(mktemp -d) && trap 'rm -rf "$$work"' EXIT && started=$$(date +%s) && \
	  tar -xzf $(DIST)/kalpo-*[0-9].tar.gz -C "$$work" && \
	  $(MAKE) -C "$$work"/kalpo-* dist DIST="$$work/dist" >"$$work/dist.log" 2>&1 && \
	  for f in "$$work"/dist/*; do [ "$${f##*/}" = SHA256SUMS ] || cmp "$$f" $(DIST)/$${f##*/} || exit 1; done && \
	  echo "the source release's make dist: the same files ($$(($$(date +%s) - started)) s)"
