# Wraps CMake. `make test` and `make demo` do all set-up on a fresh Debian 12 machine.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
# ccache, where installed, lets several build trees share their objects, also
# trees of other clones: paths are hashed relative to the clone.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
CMAKE_ARGS ?= $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

PACKAGES = g++ cmake make pkg-config ccache locales libgtest-dev libgmock-dev libbenchmark-dev \
  libboost1.81-dev libboost-regex1.81-dev libcurl4-openssl-dev libcpp-httplib-dev libsqlite3-dev qt6-base-dev openssl \
  xvfb xauth imagemagick fonts-dejavu-core clang-14 libclang-rt-14-dev

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test test-sanitize bench demo run screenshots fuzz install clean

deps:
	@mk/installed.sh $(PACKAGES) || { $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $(PACKAGES); }
	@# Tests switch to these locales; a fresh machine has only C and POSIX.
	@locale -a | grep -qi '^en_US.utf8$$' && locale -a | grep -qi '^de_DE.utf8$$' || { \
	  for l in en_US de_DE; do grep -q "^$$l.UTF-8 UTF-8" /etc/locale.gen || echo "$$l.UTF-8 UTF-8" | $(SUDO) tee -a /etc/locale.gen >/dev/null; done; \
	  $(SUDO) locale-gen >/dev/null; }

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

# gumbo-source (mk/sources.mk): the HTML tokenizer is compiled from its source.
configure: deps gumbo-source $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

test-sanitize: deps gumbo-source
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPLOVIK_SANITIZE=ON -DPLOVIK_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)

# Targets of the crawler program (demo, run, screenshots) and the fetched sources
# live in mk/; make reads them in name order, sources.mk before the windows files.
-include mk/*.mk
