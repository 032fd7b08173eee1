# make run    installs what is missing, builds and starts Lexivo
# make test   installs what is missing, builds and runs the whole test suite
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test build setup bench sanitize clean format

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/lexivo

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
