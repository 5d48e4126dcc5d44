# The two commands a newcomer needs: `make demo` and `make test`.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
# Figures and the package come from an optimised build without assertions.
RELEASE_PRESET ?= release

.PHONY: deps build demo demo-cli test test-asan test-tsan test-windows windows-gui test-windows-gui windows-package windows-screenshots fuzz fault-matrix bench package screenshots \
	format format-check lint clean

# The package check runs once, and again when its list (scripts/install-deps.sh) changes; `make deps`
# runs it whenever asked.
DEPS_STAMP := build/.deps-checked

deps:
	@scripts/install-deps.sh
	@mkdir -p build && touch $(DEPS_STAMP)

$(DEPS_STAMP): scripts/install-deps.sh
	@$(MAKE) --no-print-directory deps

build: $(DEPS_STAMP)
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

# The window program for Windows. Qt for Windows is built once per Debian qt6-base version from its
# source into a cache outside the tree (the first time takes 20-40 minutes; scripts/build-qt-mingw.sh),
# then orsa-configurator.exe and the folder users get: build/windows-gui/dist.
windows-gui:
	@scripts/install-deps.sh windows-gui
	@$(MAKE) --no-print-directory build
	@scripts/build-qt-mingw.sh >/dev/null
	@cmake --preset windows-gui -DORSA_QT_MINGW_PREFIX="$$(scripts/build-qt-mingw.sh --prefix)" >/dev/null
	@cmake --build --preset windows-gui
	@rm -rf build/windows-gui/dist
	@cmake --install build/windows-gui --prefix build/windows-gui/dist >/dev/null

# Its tests under wine: the folder's DLLs, the window, a read of the simulated beacon on COM5, the installer.
test-windows-gui: windows-gui windows-package
	@ctest --preset windows-gui

# The portable .zip and the installer (build/windows-gui/orsa-configurator-VERSION-*).
windows-package: windows-gui
	@scripts/windows-package.sh build/windows-gui

# The Windows window after a read of the simulated beacon, for docs/screenshots.
windows-screenshots: windows-gui
	@bash tests/windows/window-under-wine.sh build/windows-gui/dist build/default build/windows-gui/wineprefix \
	  build/windows-gui/pictures
	@cp build/windows-gui/pictures/form1-section1.png docs/screenshots/windows-form1-section1.png

# libFuzzer on every parser of outside input (clang), FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps.sh fuzz
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# Every operation against every fault of the simulated beacon, then the table (as in the README).
fault-matrix: build
	@ctest --test-dir $(BUILD_DIR) -L reliability -j2 --output-on-failure >$(BUILD_DIR)/fault-matrix.log \
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

format: $(DEPS_STAMP)
	@$(FORMATTED) | xargs -0 clang-format -i

format-check: $(DEPS_STAMP)
	@$(FORMATTED) | xargs -0 clang-format --dry-run --Werror

# clang-tidy's bug-finding checks (.clang-tidy) on the programs' sources, with the build's compile commands.
lint: build
	@scripts/lint.sh $(BUILD_DIR)

clean:
	rm -rf build
