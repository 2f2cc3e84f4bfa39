# make run    installs what the build needs, builds and starts TINGOLAMO
# make test   installs what the tests need, builds and runs every test, then
#             the unit and widget tests and a short run of each fuzz target
#             again in a clang build with AddressSanitizer and UBSan
# make fuzz   runs each fuzz target for FUZZ_SECONDS on its seeds
# make package  builds the Debian package $(BUILD)/tingolamo_2.00-1_<arch>.deb
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 600
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all run test package build deps test-deps package-deps configure clean sanitize-build test-sanitize fuzz

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

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
