# make run   installs what is missing, builds, generates the data and runs the demo
# make test  the same set-up, then the whole test suite
# make windows       the Windows zip, cross-built with mingw-w64 into build-win/
# make test-windows  the Windows build's tests under Wine
BUILD_DIR := build
WIN_BUILD_DIR := build-win
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps build run test sanitize fuzz bench clean windows test-windows

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

# The Windows libraries come from the cache scripts/deps-windows.sh fills;
# test-windows also runs the Windows build's tests under Wine.
WINDOWS_ENV = JOBS=$(JOBS) TOLVARIN_NATIVE_BUILD=$(BUILD_DIR) TOLVARIN_WIN_BUILD=$(WIN_BUILD_DIR)
windows: deps
	@$(WINDOWS_ENV) scripts/build-windows.sh

test-windows: deps
	@$(WINDOWS_ENV) scripts/build-windows.sh --test

clean:
	@rm -rf $(BUILD_DIR) $(WIN_BUILD_DIR) build-debug build-asan build-tsan build-fuzz

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
