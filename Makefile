# make run    installs what is missing, builds and starts Lexivo (on a word database made once from the
#             system's word list, unless the window last had another one open)
# make test   installs what is missing, builds and runs the whole test suite
# make stress the fault trials at full size under the sanitizers (1,000 corrupt databases, killed runs, a full disk, ...)
# make faults puts each deliberate fault of tests/faults.txt into the code in turn and runs the suite, which must
#             fail every time (ONLY=regex runs the faults whose names match)
# make fuzz   each fuzz target for FUZZ_SECONDS (60) under libFuzzer; failures land in fuzz/found/
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: run test build setup bench sanitize clean format package

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@database=$$(bash scripts/default-database.sh $(BUILD)); \
	  exec ./$(BUILD)/lexivo $${database:+--default-database "$$database"}

# make package   a Debian package (lexivo_VERSION_ARCH.deb in BUILD): apt install ./BUILD/lexivo_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DLEXIVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

bench: build
	@bash scripts/setup.sh --bench
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD) $(LIST)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-asan

.PHONY: stress fuzz faults

faults: build
	python3 scripts/faults.py $(BUILD) tests/faults.txt $(if $(ONLY),'$(ONLY)')

stress: setup
	cmake -S . -B build-asan -DLEXIVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build build-asan -j $(JOBS) --target test_reliability lexivo-cli
	LEXIVO_STRESS=1 ./build-asan/tests/test_reliability

fuzz:
	@bash scripts/setup.sh --fuzz
	cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)
