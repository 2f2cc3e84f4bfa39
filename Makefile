# make run    installs what the build needs, builds and starts TINGOLAMO
# make test   installs what the tests need, builds and runs every test, then
#             the unit and widget tests and a short run of each fuzz target
#             again in a clang build with AddressSanitizer and UBSan
# make fuzz   runs each fuzz target for FUZZ_SECONDS on its seeds
# make package  builds the Debian package $(BUILD)/tingolamo_2.00-1_<arch>.deb
# make windows  cross-builds the Windows program into $(WINDOWS_BUILD) and its
#               installer $(WINDOWS_BUILD)/tingolamo-2.00-win64.exe
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
WINDOWS_BUILD ?= build-windows
FUZZ_SECONDS ?= 600
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all run test package build deps test-deps package-deps configure clean sanitize-build test-sanitize fuzz \
	windows windows-deps windows-build test-windows

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
	$(MAKE) test-windows

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

# The Windows program, cross-built with MinGW-w64 against the MinGW Qt of
# ../shared/toolchains, unpacked into the build folder; TINGOLAMO_MINGW_PREFIX
# names another MinGW prefix with Qt 6 instead.
windows-deps:
	sh tools/install-deps.sh windows

windows-build:
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/tools/toolchains/mingw-w64.cmake \
		$(if $(TINGOLAMO_MINGW_PREFIX),-DTINGOLAMO_MINGW_PREFIX=$(TINGOLAMO_MINGW_PREFIX))
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

windows:
	$(MAKE) windows-deps
	$(MAKE) windows-build
	cmake --build $(WINDOWS_BUILD) --target package

# The cross-built tests under Wine, then the installer end to end.
test-windows: windows-build
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS) -LE installer
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -L installer

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WINDOWS_BUILD)
