# Tidemark: the two everyday commands are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := settings_fuzz rename_fuzz cli_args_fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test test-asan fuzz bench screenshots install \
	package package-check clean format

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# make run ARGS=FOLDER opens a rename window on FOLDER.
run: build
	./$(BUILD)/app/tidemark $(ARGS)

# Our own builds treat warnings as errors; a plain configure (make run, a user's cmake) does not.
test: configure
	cmake -S . -B $(BUILD) -DTIDEMARK_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTIDEMARK_SANITIZE=ON \
		-DTIDEMARK_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Each libFuzzer target runs for FUZZ_SECONDS from the seeds in fuzz/corpus; what it learns is
# kept in the build folder, and a crash (saved there as crash-*) fails the run.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DTIDEMARK_GUI=OFF -DTIDEMARK_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
		echo "== $$t for $(FUZZ_SECONDS) s"; \
		UBSAN_OPTIONS=print_stacktrace=1 ./$(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) \
			-print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/$$t- \
			$(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; "$$b" || exit 1; done

screenshots: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/app/tidemark-screenshots $(BUILD)/screenshots

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cmake --build $(BUILD) --target package

# The package's files unpacked into a throwaway root, and its dependencies.
package-check: package
	bash scripts/check-package.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
