# The README's commands: `make run` (the window), `make demo` (the main job without a window)
# and `make test` (the tests).
# Both install what is missing (Debian packages, as root) and build first.

BUILD    ?= build
JOBS     ?= $(shell nproc)
GENERATOR = $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
CMAKE_ARGS ?=

.PHONY: all bootstrap configure build test demo run bench sanitize fuzz clean install package

all: build

bootstrap:
	@bash scripts/bootstrap.sh

configure: bootstrap
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -G "$(GENERATOR)" $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	@bash scripts/demo.sh $(BUILD)

# The window on a demo program folder against the demo search engine; without a display,
# the command-line demo.
run: build
	@bash scripts/run.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && "$$b"; done

# Same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	@$(MAKE) --no-print-directory test BUILD=build-asan CMAKE_ARGS="-DKELVANE_SANITIZE=ON -DKELVANE_BENCH=OFF"

# libFuzzer targets; FUZZ_SECONDS per target.
fuzz: bootstrap
	@[ -f build-fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G "$(GENERATOR)" -DKELVANE_FUZZ=ON -DKELVANE_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@bash scripts/fuzz.sh build-fuzz $${FUZZ_SECONDS:-60}

clean:
	rm -rf build build-asan build-fuzz

# The programs, the library and the desktop files under PREFIX (DESTDIR as usual), and the
# Debian package in $(BUILD) (kelvane_<version>_amd64.deb).
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	@cd $(BUILD) && cpack -G DEB
