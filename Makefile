# SPDX-License-Identifier: GPL-3.0-or-later
# Tarnwick: `make run` and `make test` do the whole set-up on a fresh Debian 12 machine.
JOBS ?= $(shell nproc)
BUILD := build
# ccache: paths below this checkout are hashed relative to it, so another clone of the
# project (CI clones afresh) reuses the same cache entries.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true

.PHONY: all deps configure build run test check bench clean

all: build

deps:
	@bash scripts/deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake --preset default

build: configure
	cmake --build --preset default -j $(JOBS)

run: build
	./$(BUILD)/src/app/tarnwick $(ARGS)

test: build
	QT_QPA_PLATFORM= bash scripts/with-desktop.sh ctest --preset default -j $(JOBS) --timeout 600

# Formatting and the include layer order (CI runs it before the tests).
check: deps
	@bash scripts/check.sh

bench: build
	bash bench/run.sh

clean:
	rm -rf $(BUILD) build-asan
