# Two commands for a newcomer: `make run` and `make test`.
# Both install what is missing (Debian packages), build, then run.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=

DEBS := cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev \
        libgtest-dev libgmock-dev libbenchmark-dev clang-format fonts-dejavu-core \
        xvfb xauth x11-apps diffutils \
        desktop-file-utils appstream shared-mime-info groff-base dpkg-dev \
        qt6-tools-dev qt6-l10n-tools qt6-svg-dev chromium python3-jsonschema git

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build test test-core asan run bench format format-check fuzz clean install package translations

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

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test once more under AddressSanitizer and UBSan: the core and the
# Qt layer (offscreen) alike.
$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQC_SANITIZE=ON -DQC_BENCH=OFF

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Refreshes translations/QuillcrafterJourneymanDiff.ts, the Qt Linguist
# template of the window's texts, after a text in app/ has changed.
translations: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target translations

EXAMPLE_LATEST  := examples/Latest.qcp
EXAMPLE_HISTORY := examples/History.qcp

run: build
	@if [ ! -x $(BUILD)/app/QuillcrafterJourneymanDiff ]; then \
	  echo "The window is not built yet."; exit 1; fi
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: starting the window under Xvfb."; \
	  xvfb-run -a $(BUILD)/app/QuillcrafterJourneymanDiff $(EXAMPLE_LATEST) $(EXAMPLE_HISTORY); \
	else \
	  $(BUILD)/app/QuillcrafterJourneymanDiff $(EXAMPLE_LATEST) $(EXAMPLE_HISTORY); \
	fi

bench: deps
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)-bench -j $(JOBS) --target run_benchmarks

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
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQC_CORE_ONLY=ON -DQC_FUZZ=ON -DQC_BENCH=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz_targets
	bash tests/fuzz/run_fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BUILD)-bench $(BUILD)-fuzz
