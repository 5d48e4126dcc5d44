# The two commands a newcomer needs: `make demo` and `make test`.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps build demo demo-cli test test-asan test-tsan bench screenshots clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

demo: build
	@scripts/demo.sh $(BUILD_DIR)

demo-cli: build
	@scripts/demo-cli.sh $(BUILD_DIR)

test: build
	@ctest --preset $(PRESET)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

test-tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

bench: build
	@scripts/bench.sh $(BUILD_DIR)

screenshots: build
	@scripts/screenshots.sh $(BUILD_DIR)

clean:
	rm -rf build
