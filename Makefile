# make run    installs what the build needs, builds and starts TINGOLAMO
# make test   installs what the tests need, builds and runs every test
# make package  builds the Debian package $(BUILD)/tingolamo_2.00-1_<arch>.deb
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all run test package build deps test-deps package-deps configure clean

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

package:
	$(MAKE) package-deps
	$(MAKE) build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
