# Thin wrapper over CMake; both entry points install what they need first.
BUILD ?= build
JOBS ?= 2

.PHONY: all bootstrap configure build test run package pictures bench fuzz clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

run: build
	@scripts/run-main $(BUILD)

# The Debian package of the three programs: $(BUILD)/package/tesmira_*.deb
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls -1 $$PWD/package/*.deb

# README's pictures, drawn by the window itself (offscreen) after docs/*.vn3 on a fresh demo company.
pictures: build
	@rm -rf $(BUILD)/pictures && mkdir -p $(BUILD)/pictures
	@$(BUILD)/src/app/tesmira-db init --demo $(BUILD)/pictures/demo.db
	@QT_QPA_PLATFORM=offscreen $(BUILD)/src/app/tesmira --db $(BUILD)/pictures/demo.db \
	    --screenshot docs/ventana.png docs/ventana.vn3 >$(BUILD)/pictures/ventana.log
	@QT_QPA_PLATFORM=offscreen $(BUILD)/src/app/tesmira --db $(BUILD)/pictures/demo.db \
	    --print-preview docs/nota.png docs/nota.vn3 >$(BUILD)/pictures/nota.log

bench: bootstrap
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j$(JOBS) --target benchmarks

fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DTESMIRA_FUZZ=ON -DTESMIRA_UI=OFF >/dev/null
	@cmake --build $(BUILD)-fuzz -j$(JOBS) --target dialect_fuzzer
	@mkdir -p $(BUILD)-fuzz/corpus && $(BUILD)-fuzz/tests/dialect_fuzzer -max_total_time=$${SECONDS_TO_FUZZ:-60} $(BUILD)-fuzz/corpus

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
