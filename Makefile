# The two set-up commands of the README. Both install what is missing first.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
ARGS ?=
JOBS ?= $(shell nproc)
# clang compiles the program and its tests in about two thirds of GCC's time.
CXX_COMPILER ?= clang++

.PHONY: all deps build build-asan build-fuzz fuzz-smoke fuzz run test test-asan format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_CXX_COMPILER=$(CXX_COMPILER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Without a display, the sample archive (or ARGS) is extracted on a virtual
# one, and the files and a picture of the window are shown (see the README).
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD_DIR)/src/zorvane $(ARGS); \
	else \
		bash scripts/run-headless.sh $(BUILD_DIR) $(ARGS); \
	fi

# The sanitizer build is also instrumented for libFuzzer (clang only), so the
# fuzz targets' smoke run needs no build of its own.
build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DZORVANE_SANITIZE=ON \
		-DZORVANE_FUZZ=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)

# Long runs get an optimised build of their own: only the fuzz targets.
build-fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVANE_FUZZ=ON \
		-DZORVANE_BUILD_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets

# Four seconds per fuzz target over its seed corpus: a crash fails make test.
fuzz-smoke: build-asan
	FUZZ_JOBS=$(JOBS) bash tests/fuzz/run.sh $(ASAN_DIR) 4

# As long as one likes (FUZZ_SECONDS per target); see tests/fuzz/README.md.
fuzz: build-fuzz
	FUZZ_JOBS=$(JOBS) bash tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS) --keep-corpus

# Every test runs twice: in the normal build, then under AddressSanitizer and
# UndefinedBehaviorSanitizer, which turn silent memory errors into failures.
# First the fuzz targets run briefly over their seed corpora.
test: build fuzz-smoke
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-package

test-asan: build-asan
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# The Debian package, from a Release build of its own with the prefix /usr
# (see "Install as a package" in the README).
PKG_DIR ?= build-pkg
.PHONY: package package-check test-package
package: deps
	cmake -S . -B $(PKG_DIR) -DCMAKE_CXX_COMPILER=$(CXX_COMPILER) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_INSTALL_PREFIX=/usr -DZORVANE_BUILD_TESTS=OFF
	cmake --build $(PKG_DIR) -j $(JOBS)
	cd $(PKG_DIR) && cpack -G DEB

# The package's fields and files; as root also installed, started and removed.
package-check: package
	bash tests/packaging/check-package.sh $(PKG_DIR)

# The same check on a package of the tested build, which is also made for
# /usr: make test need not compile the program a third time. CPack strips it.
test-package: build
	cd $(BUILD_DIR) && cpack -G DEB
	bash tests/packaging/check-package.sh $(BUILD_DIR)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(PKG_DIR)
