# The two commands a newcomer needs: `make demo` and `make test`.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
# Figures and the package come from an optimised build without assertions.
RELEASE_PRESET ?= release

.PHONY: deps build demo demo-cli test test-asan test-tsan test-windows fuzz fault-matrix bench package screenshots \
	format format-check lint clean

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

# The core, orsactl and their tests built for Windows (mingw-w64) and run under wine; the end-to-end
# test drives orsactl.exe on COM5 against the Linux build's simulated beacon.
test-windows:
	@scripts/install-deps.sh windows
	@$(MAKE) --no-print-directory build
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@ctest --preset windows

# libFuzzer on every parser of outside input (clang), FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps.sh fuzz
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# Every operation against every fault of the simulated beacon, then the table (as in the README).
fault-matrix: build
	@ctest --test-dir $(BUILD_DIR) -L fault-matrix -j2 --output-on-failure >$(BUILD_DIR)/fault-matrix.log \
	  || { cat $(BUILD_DIR)/fault-matrix.log; exit 1; }
	@$(BUILD_DIR)/tests/reliability/fault_matrix_tests --markdown

bench:
	@$(MAKE) --no-print-directory build PRESET=$(RELEASE_PRESET)
	@scripts/bench.sh build/$(RELEASE_PRESET)

# The Debian package (build/$(RELEASE_PRESET)/package/*.deb), made and checked by its test.
package:
	@$(MAKE) --no-print-directory build PRESET=$(RELEASE_PRESET)
	@ctest --test-dir build/$(RELEASE_PRESET) -L package --output-on-failure --verbose

screenshots: build
	@scripts/screenshots.sh $(BUILD_DIR)

# The C++ sources the formatter owns: everything git tracks under src, tests and bench.
FORMATTED = git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h'

format: deps
	@$(FORMATTED) | xargs -0 clang-format -i

format-check: deps
	@$(FORMATTED) | xargs -0 clang-format --dry-run --Werror

# clang-tidy's bug-finding checks (.clang-tidy) on the programs' sources, with the build's compile commands.
lint: build
	@scripts/lint.sh $(BUILD_DIR)

clean:
	rm -rf build
