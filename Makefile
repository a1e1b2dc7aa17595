# Two commands for a newcomer: `make run` and `make test`.
# Both install what is missing (Debian packages), build, then run.

# The builds are the presets of CMakePresets.json: dev (build/), asan
# (build-asan/), release (build-bench/) and fuzz (build-fuzz/).
BUILD      := build
ASAN_BUILD := build-asan
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=

# What building and opening the window needs; Xvfb only without a display.
RUN_DEBS := cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev qt6-svg-dev \
            fonts-dejavu-core $(if $(DISPLAY)$(WAYLAND_DISPLAY),,xvfb xauth)
# What the tests, the benchmarks and the checks need on top.
TEST_DEBS := $(RUN_DEBS) libgtest-dev libgmock-dev libbenchmark-dev clang-format \
             xvfb xauth x11-apps diffutils \
             desktop-file-utils appstream shared-mime-info groff-base dpkg-dev \
             qt6-tools-dev qt6-l10n-tools chromium python3-jsonschema git
DEBS ?= $(TEST_DEBS)

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test asan run bench format format-check fuzz clean install package translations

all: build

deps:
	@missing=""; \
	for p in $(DEBS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Configured each time: a build first made by `make run` (without the test
# packages) gains its tests and benchmarks once they are installed.
build: deps
	cmake --preset dev $(CMAKE_FLAGS)
	cmake --build --preset dev -j $(JOBS)

test: build asan
	ctest --preset dev -j $(JOBS)

# Every test once more under AddressSanitizer and UBSan: the core and the
# Qt layer (offscreen) alike.
asan: deps
	cmake --preset asan $(CMAKE_FLAGS)
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Refreshes translations/QuillcrafterJourneymanDiff.ts, the Qt Linguist
# template of the window's texts, after a text in app/ has changed.
translations: deps
	cmake --preset dev $(CMAKE_FLAGS)
	cmake --build --preset dev -j $(JOBS) --target translations

EXAMPLE_LATEST  := examples/Latest.qcp
EXAMPLE_HISTORY := examples/History.qcp

# Builds the window alone (and what it links): no tests, benchmarks or browser.
run:
	@$(MAKE) --no-print-directory deps DEBS="$(RUN_DEBS)"
	cmake --preset dev $(CMAKE_FLAGS)
	cmake --build --preset dev -j $(JOBS) --target QuillcrafterJourneymanDiff
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: starting the window under Xvfb."; \
	  xvfb-run -a $(BUILD)/app/QuillcrafterJourneymanDiff $(EXAMPLE_LATEST) $(EXAMPLE_HISTORY); \
	else \
	  $(BUILD)/app/QuillcrafterJourneymanDiff $(EXAMPLE_LATEST) $(EXAMPLE_HISTORY); \
	fi

bench: deps
	cmake --preset release $(CMAKE_FLAGS)
	cmake --build --preset release -j $(JOBS) --target run_benchmarks

# `make install PREFIX=/usr/local` (the default prefix; DESTDIR works as usual).
# The desktop caches are refreshed only for a live install, not into DESTDIR.
PREFIX ?= /usr/local

install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip
	@if [ -z "$(DESTDIR)" ]; then \
	  command -v update-mime-database >/dev/null && update-mime-database $(PREFIX)/share/mime || true; \
	  command -v update-desktop-database >/dev/null && update-desktop-database -q $(PREFIX)/share/applications || true; \
	  command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor || true; \
	fi

# A Debian package in $(BUILD)/package; `apt install ./FILE.deb` brings Qt along.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls -1 $(BUILD)/package/*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Each libFuzzer target for FUZZ_SECONDS (all of them, or those named in
# FUZZ_TARGETS, e.g. FUZZ_TARGETS="project_reader diff_engine"), one after
# the other; prints executions and coverage. Their seeds, and every input
# that once failed, are replayed by the ordinary tests (fuzz_replay_*).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
FUZZ_DEBS := cmake ninja-build clang libclang-rt-dev libgtest-dev libgmock-dev

fuzz:
	@$(MAKE) --no-print-directory deps DEBS="$(FUZZ_DEBS)"
	cmake --preset fuzz $(CMAKE_FLAGS)
	cmake --build --preset fuzz -j $(JOBS) --target fuzz_targets
	bash tests/fuzz/run_fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BUILD)-bench $(BUILD)-fuzz
