# make run   installs what is missing, builds and starts palvenor (APP=Sorbelset or APP=corvanta for the others)
# make test  installs what is missing, builds with sanitizers and runs every test
APP ?= palvenor
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
DEPS := g++ cmake make git pkg-config qt6-base-dev qt6-qpa-plugins qt6-wayland qt6-translations-l10n \
        libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev libgif-dev clang-format \
        fonts-ipafont-gothic fonts-ipafont-mincho

.PHONY: deps run test bench fuzz-deps

deps:
	@missing=""; for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
		echo "installing:$$missing"; \
		$(SUDO) apt-get update -qq && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

run: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVENOR_TESTS=OFF
	cmake --build build -j$(JOBS) --target $(APP)
	./build/bin/$(APP)

test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DPALVENOR_SANITIZE=ON
	cmake --build build-test -j$(JOBS)
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPALVENOR_TESTS=OFF -DPALVENOR_BENCH=ON
	cmake --build build-bench -j$(JOBS)
	@rm -f build-bench/bench-summary.txt
	@for b in build-bench/bench/bench_*; do \
		[ -x "$$b" ] || continue; \
		echo "$$(basename $$b)" >> build-bench/bench-summary.txt; \
		BENCH_SUMMARY=build-bench/bench-summary.txt "$$b"; \
	done; \
	echo; echo "Every figure against its goal"; \
	printf '%-46s %16s %16s  %s\n' figure value goal ""; \
	cat build-bench/bench-summary.txt

fuzz-deps:
	@dpkg -s clang libclang-rt-14-dev >/dev/null 2>&1 || \
		($(SUDO) apt-get update -qq && $(SUDO) apt-get install -y -qq clang libclang-rt-14-dev)
