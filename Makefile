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

# The data comes from the native generator; the libraries from the cache that
# scripts/deps-windows.sh fills (a new prefix means a fresh configuration).
windows: deps
	@cmake --preset release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tolvarin_data
	@prefix=$$(scripts/deps-windows.sh) && \
	  if ! grep -qsxF "TOLVARIN_WIN_PREFIX:PATH=$$prefix" $(WIN_BUILD_DIR)/CMakeCache.txt; then \
	    rm -f $(WIN_BUILD_DIR)/CMakeCache.txt; fi && \
	  cmake -S . -B $(WIN_BUILD_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake \
	    -DTOLVARIN_WIN_PREFIX="$$prefix" -DTOLVARIN_HOST_DATA_DIR="$(CURDIR)/$(BUILD_DIR)/data" >/dev/null
	@cmake --build $(WIN_BUILD_DIR) -j $(JOBS) --target tolvarin_zip
	@ls -l $(WIN_BUILD_DIR)/tolvarin-windows-x64.zip

# The native program too: some Windows tests compare their output with it.
test-windows: windows
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tolvarin
	@cmake --build $(WIN_BUILD_DIR) -j $(JOBS)
	@ctest --test-dir $(WIN_BUILD_DIR) --output-on-failure -j $(JOBS)

clean:
	@rm -rf $(BUILD_DIR) $(WIN_BUILD_DIR) build-debug build-asan build-tsan build-fuzz

# The WebAssembly build in build-web/ (Emscripten): tolvarin.js + .wasm for
# node, tolvarin-page.js + .wasm + .data and the page (index.html) for a
# browser. web-test runs its tests under node against the native program,
# test-web the page in a real browser (the tests labelled "browser", which
# web-test leaves out); serve-web serves it.
.PHONY: web web-test test-web serve-web clean-web
web: deps
	@scripts/build-web.sh

web-test: web
	@ctest --test-dir build-web -LE browser --output-on-failure -j $(JOBS)

# The page in Debian's Chromium (puppeteer-core), served on 127.0.0.1.
test-web: web
	@scripts/test-web.sh

# build-web/ on http://127.0.0.1:8000/ (PORT=...).
serve-web:
	@scripts/serve-web.sh

clean: clean-web
clean-web:
	@rm -rf build-web
