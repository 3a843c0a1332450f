# make run   installs what is missing, builds, generates the data and runs the demo
# make test  the same set-up, then the whole test suite
# make windows       the Windows zip, cross-built with mingw-w64 into build-win/
# make test-windows  the Windows build's tests under Wine
# make package       the Debian package of build/, checked by lintian
# make test-package  the same, and the unpacked package run headless
# make arm64         the arm64 Linux program, tests and .deb, cross-built into build-arm64/
# make test-arm64    the arm64 build's library tests and golden runs under qemu-user
BUILD_DIR := build
WIN_BUILD_DIR := build-win
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps build run test sanitize fuzz bench clean windows test-windows package test-package

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD_DIR)

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The suite under AddressSanitizer/UBSan/LeakSanitizer, and ThreadSanitizer for the audio thread.
sanitize: deps
	@scripts/sanitize.sh

# Each fuzz target for FUZZ_SECONDS (default 60).
fuzz: deps
	@scripts/fuzz.sh $(or $(FUZZ_SECONDS),60)

bench: build
	@$(BUILD_DIR)/tolvarin-bench

package: build
	@scripts/package-deb.sh $(BUILD_DIR)

test-package: build
	@scripts/package-deb.sh $(BUILD_DIR) --test

# The Windows libraries come from the cache scripts/deps-windows.sh fills;
# test-windows also runs the Windows build's tests under Wine.
WINDOWS_ENV = JOBS=$(JOBS) TOLVARIN_NATIVE_BUILD=$(BUILD_DIR) TOLVARIN_WIN_BUILD=$(WIN_BUILD_DIR)
windows: deps
	@$(WINDOWS_ENV) scripts/build-windows.sh

test-windows: deps
	@$(WINDOWS_ENV) scripts/build-windows.sh --test

# The arm64 libraries come from the cache scripts/deps-arm64.sh fills (Debian's
# arm64 packages, unpacked); test-arm64 also runs the pure libraries' tests
# and the golden runs under qemu-user.
ARM64_BUILD_DIR := build-arm64
ARM64_ENV = JOBS=$(JOBS) TOLVARIN_NATIVE_BUILD=$(BUILD_DIR) TOLVARIN_ARM64_BUILD=$(ARM64_BUILD_DIR)
.PHONY: arm64 test-arm64
arm64: deps
	@$(ARM64_ENV) scripts/build-arm64.sh

test-arm64: deps
	@$(ARM64_ENV) scripts/build-arm64.sh --test

clean:
	@rm -rf $(BUILD_DIR) $(WIN_BUILD_DIR) $(ARM64_BUILD_DIR) build-debug build-asan build-tsan build-fuzz

# The WebAssembly build in build-web/ (Emscripten): tolvarin.js + .wasm for
# node, tolvarin-page.js + .wasm + .data and the page (index.html) for a
# browser. web-test runs its tests under node against the native program,
# test-web the page in a real browser (the tests labelled "browser", which
# web-test leaves out); serve-web serves it.
.PHONY: web web-test test-web serve-web clean-web
web: deps
	@JOBS=$(JOBS) scripts/build-web.sh

web-test: web
	@ctest --test-dir build-web -LE browser --output-on-failure -j $(JOBS)

# The page in Debian's Chromium (puppeteer-core), served on 127.0.0.1.
test-web: web
	@scripts/test-web.sh

# build-web/site/ on http://127.0.0.1:8000/ (PORT=...).
serve-web:
	@scripts/serve-web.sh

clean: clean-web
clean-web:
	@rm -rf build-web
