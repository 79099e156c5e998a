# The two everyday commands:
#   make run    builds the program only and starts it (options through ARGS="...")
#   make test   builds everything and runs every test
# Both install the Debian packages the build needs when they are missing.
# make package builds the Debian package (build/hovra-server_<version>_<arch>.deb).
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ARGS ?=
CTEST_ARGS ?=

.PHONY: deps configure build run test package test-sanitize test-tsan bench clean screenshots

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -G Ninja -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@ninja -C $(BUILD) -j $(JOBS)

run: configure
	@ninja -C $(BUILD) -j $(JOBS) hovra-server
	./$(BUILD)/hovra-server $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

package: configure
	@ninja -C $(BUILD) -j $(JOBS) hovra-server
	cd $(BUILD) && cpack -G DEB

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	@LSAN_OPTIONS="suppressions=$(CURDIR)/scripts/lsan-suppressions.txt" \
	  $(MAKE) --no-print-directory test BUILD=build-sanitize CMAKE_FLAGS="-DHOVRA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

# The threaded parts (server, run loop, catalogue hops) under ThreadSanitizer. The X11,
# Wayland and portal tests stay out: libX11, libwayland-client and GLib lock in ways
# ThreadSanitizer cannot follow; so does the tray's D-Bus test, whose server runs QtDBus's
# thread over GLib (the Qt main loop itself is tested here, in qt_tests), and the Linux
# workspace's tests, whose GIO calls hand memory to GDBus's own thread through GSlice.
TSAN_LEFT_OUT := X11|ServerOnX11|Wayland|ServerOnWayland|Portal|ServerOnPortal|TrayOverDBus|$\
  ^(AppsTest|EwmhTest|FavouritesTest|IconsTest|LinuxHostTest|RunningAppsTest|$\
  ServerDesktopTest|SleepWatchTest)\.
test-tsan:
	@TSAN_OPTIONS="halt_on_error=1" \
	  $(MAKE) --no-print-directory test BUILD=build-tsan \
	  CTEST_ARGS="-E '$(TSAN_LEFT_OUT)'" \
	  CMAKE_FLAGS="-DHOVRA_TSAN=ON -DCMAKE_BUILD_TYPE=Debug"

clean:
	rm -rf build build-sanitize build-tsan

# Every benchmark, one table of figures (scripts/run-benchmarks.sh; never part of `make test`).
bench:
	@HOVRA_WITH_BENCH=1 bash scripts/install-deps.sh
	@bash scripts/run-benchmarks.sh

# Every fuzz target for 60 seconds (libFuzzer, clang, ASan + UBSan), two at a time.
.PHONY: fuzz-smoke
fuzz-smoke:
	@HOVRA_WITH_BENCH=1 bash scripts/install-deps.sh
	@SECONDS_EACH=60 bash scripts/run-fuzzers.sh

# Pictures of the tray's menu, windows, alerts and panel for the README (docs/screenshots),
# drawn by the program's own code on Qt's offscreen platform.
screenshots: deps
	@bash scripts/screenshots.sh
