# The two everyday commands; see README.md.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test build clean

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALPO_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/bin/kalpo_demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
