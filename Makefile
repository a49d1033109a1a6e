# Thin wrapper over CMake; both entry points install what they need first.
BUILD ?= build
JOBS ?= 2

.PHONY: all bootstrap configure build test run package bench fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# A Debian package (CPack) in $(BUILD)/: tesmira, vn003-script, tesmira-db, schema, demo data.
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls -1 $(CURDIR)/$(BUILD)/*.deb

run: build
	@scripts/run-main $(BUILD)

bench: bootstrap
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j$(JOBS) --target benchmarks

fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DTESMIRA_FUZZ=ON -DTESMIRA_UI=OFF >/dev/null
	@cmake --build $(BUILD)-fuzz -j$(JOBS) --target dialect_fuzzer
	@mkdir -p $(BUILD)-fuzz/corpus && $(BUILD)-fuzz/tests/dialect_fuzzer -max_total_time=$${SECONDS_TO_FUZZ:-60} $(BUILD)-fuzz/corpus

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
