# make run    installs what the build needs, builds and starts TINGOLAMO
# make test   installs what the tests need, builds and runs every test, then
#             the unit and widget tests and a short run of each fuzz target
#             again in a clang build with AddressSanitizer and UBSan
# make fuzz   runs each fuzz target for FUZZ_SECONDS on its seeds
# make package  builds the Debian package $(BUILD)/tingolamo_2.00-1_<arch>.deb
# make package-arm64  cross-builds the package for 64-bit ARM (Raspberry Pi OS
#             Bookworm 64-bit) into $(ARM64_BUILD)/tingolamo_2.00-1_arm64.deb
# make test-arm64  cross-builds for arm64 and runs the unit tests and the
#             package's program under qemu (part of make test)
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
ARM64_BUILD ?= build-arm64
FUZZ_SECONDS ?= 600
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all run test package build deps test-deps package-deps configure clean sanitize-build test-sanitize fuzz
.PHONY: arm64-deps arm64-build package-arm64 test-arm64

all: build

deps:
	sh tools/install-deps.sh build

package-deps:
	sh tools/install-deps.sh package

test-deps:
	sh tools/install-deps.sh test

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run:
	$(MAKE) deps
	$(MAKE) build
	./$(BUILD)/tingolamo

test:
	$(MAKE) test-deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitize
	$(MAKE) test-arm64

sanitize-build:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DTINGOLAMO_SANITIZE=ON -DTINGOLAMO_FUZZ=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -LE e2e

fuzz:
	$(MAKE) test-deps
	$(MAKE) sanitize-build
	sh tools/fuzz.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS)

package:
	$(MAKE) package-deps
	$(MAKE) build
	cmake --build $(BUILD) --target package

arm64-deps:
	sh tools/install-deps.sh arm64

arm64-build:
	cmake -S . -B $(ARM64_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		--toolchain tools/toolchains/aarch64-linux-gnu.cmake
	cmake --build $(ARM64_BUILD) -j $(JOBS)

package-arm64:
	$(MAKE) arm64-deps
	$(MAKE) arm64-build
	cmake --build $(ARM64_BUILD) --target package

# The tests that need no servers of their own, each under qemu-aarch64, and
# the package's program started under it on Xvfb (label cross).
test-arm64:
	sh tools/install-deps.sh test
	$(MAKE) arm64-deps
	$(MAKE) arm64-build
	cd $(ARM64_BUILD) && ctest --output-on-failure -j $(JOBS) -LE e2e

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(ARM64_BUILD)
