# The two set-up commands of the README. Both install what is missing first.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
ARGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps build build-asan run test test-asan format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Without a display, the program runs on a virtual one (see the README).
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD_DIR)/src/zorvane $(ARGS); \
	else \
		echo "No display: starting Zorvane under xvfb-run"; \
		xvfb-run -a $(BUILD_DIR)/src/zorvane $(ARGS); \
	fi

build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DZORVANE_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)

# Every test runs twice: in the normal build, then under AddressSanitizer and
# UndefinedBehaviorSanitizer, which turn silent memory errors into failures.
test: build build-asan
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory package-check

test-asan: build-asan
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# The Debian package, from a Release build of its own with the prefix /usr
# (see "Install as a package" in the README).
PKG_DIR ?= build-pkg
.PHONY: package package-check
package: deps
	cmake -S . -B $(PKG_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZORVANE_BUILD_TESTS=OFF
	cmake --build $(PKG_DIR) -j $(JOBS)
	cd $(PKG_DIR) && cpack -G DEB

# The package's fields and files; as root also installed, started and removed.
package-check: package
	bash tests/packaging/check-package.sh $(PKG_DIR)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
