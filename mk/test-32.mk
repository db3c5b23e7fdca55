# make test-32: the portable parts (library, engine, headless program) built as
# 32-bit Linux code and tested, so that every machine runs the widths of the 32-bit
# Windows build. Natively where the kernel runs 32-bit programs, under qemu-i386
# elsewhere; I686_EMULATE=1 takes qemu-i386 anyway.
I686_BUILD ?= build-i686
I686_PACKAGES = gcc-multilib g++-multilib libcurl4-openssl-dev:i386 libssl-dev:i386 libsqlite3-dev:i386 \
  libgtest-dev:i386 libgmock-dev:i386 qemu-user

.PHONY: deps-32 test-32

deps-32: deps
	@dpkg --print-foreign-architectures | grep -qx i386 || { $(SUDO) dpkg --add-architecture i386 && $(SUDO) apt-get update; }
	@mk/installed.sh $(I686_PACKAGES) || { $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $(I686_PACKAGES); }

# Whether a 32-bit program runs here: a probe compiled and started once.
$(I686_BUILD)/runs-32bit: | deps-32
	@mkdir -p $(I686_BUILD)
	@echo 'int main(void) { return 0; }' | gcc -m32 -x c - -o $(I686_BUILD)/probe-32
	@if $(I686_BUILD)/probe-32 2>/dev/null; then echo yes; else echo no; fi > $@

test-32: deps-32 deps-httplib gumbo-source $(I686_BUILD)/runs-32bit
	@emulator=$$( [ "$(I686_EMULATE)" = 1 ] || [ "$$(cat $(I686_BUILD)/runs-32bit)" != yes ] && command -v qemu-i386 ); \
	  echo "== 32-bit tests $${emulator:+under }$${emulator:-natively}"; \
	  cmake -S . -B $(I686_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DPLOVIK_BUILD_WINDOW=OFF -DPLOVIK_BUILD_BENCH=OFF -DPLOVIK_INSTALL=OFF \
	    -DPLOVIK_HTTPLIB_DIR=$(WIN_DEPS_DIR)/httplib -DPLOVIK_I686_EMULATOR="$$emulator" $(CMAKE_ARGS) >/dev/null
	cmake --build $(I686_BUILD) -j $(JOBS)
	cd $(I686_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
