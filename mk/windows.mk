# Windows: Vantrel cross-built with MinGW-w64 for 32-bit Windows, its tests run
# under Wine with a prefix inside the build tree.
WIN_BUILD   ?= build-windows
WIN64_BUILD ?= build-windows-x64
# += rather than ?=: mk/windows-plovik.mk, read first, adds to it.
WIN_CMAKE_ARGS += -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOVIK_BUILD_BENCH=OFF -DPLOVIK_BUILD_CRAWLER=ON

# Wine's own fonts: without them dialogs take metrics of stand-ins and clip their texts.
# tcl: tclsh generates SQLite's amalgamation from Debian's source tree.
WINDOWS_PACKAGES = g++-mingw-w64-i686 wine wine32:i386 xvfb fonts-wine tcl
# Some kernels run no 32-bit programs at all (IA-32 emulation off); there the
# same tests run as a 64-bit build under wine64.
WINDOWS64_PACKAGES = g++-mingw-w64-x86-64-posix wine64

# $(call wine_env,<build dir>)
wine_env = WINEPREFIX=$(abspath $(1))/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Whether this machine runs 32-bit programs: the 32-bit Wine loader is one.
RUNS_32BIT = $(shell wine --version >/dev/null 2>&1 && echo yes)

.PHONY: deps-windows windows test-windows package-windows

# The packages first: the libraries of mk/windows-plovik.mk are compiled with them.
.PHONY: deps-windows-packages
deps-windows: deps-windows-packages
deps-windows-packages:
	@dpkg --print-foreign-architectures | grep -qx i386 || $(SUDO) dpkg --add-architecture i386
	@mk/installed.sh $(WINDOWS_PACKAGES) || { $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $(WINDOWS_PACKAGES); }
	@wine --version >/dev/null 2>&1 || mk/installed.sh $(WINDOWS64_PACKAGES) || { \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $(WINDOWS64_PACKAGES); }

# $(call windows_build,<build dir>,<toolchain file>)
define windows_build
	cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2) $(WIN_CMAKE_ARGS) $(CMAKE_ARGS) >/dev/null
	cmake --build $(1) -j $(JOBS)
endef

# The window tests need a display: the tests run under Xvfb.
XVFB_RUN = $(if $(shell command -v xvfb-run),xvfb-run -a)

# $(call windows_test,<build dir>,<wine program>)
# A crash fails its test at once: no crash dialog waits for a click in the prefix.
# wineboot runs without the display; the wine server it starts outlives it for a few
# seconds, and a test started meanwhile joins that server and cannot create windows.
# So the tests wait for it to end and start their own server under Xvfb.
define windows_test
	@$(call wine_env,$(1)) $(2) wineboot --init >/dev/null 2>&1
	@$(call wine_env,$(1)) $(2) reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
	@$(call wine_env,$(1)) wineserver -w
	cd $(1) && $(call wine_env,$(1)) $(XVFB_RUN) $(CURDIR)/mk/wine-ctest.sh $(2) --output-on-failure -j $(JOBS)
endef

# The zip as a user gets it, crawling the sample site; the Linux program's rows for
# the same site are the reference.
# $(call windows_package_test,<build dir>,<wine program>)
define windows_package_test
	cmake --build $(BUILD) --target plovik plovik_sample_server -j $(JOBS)
	cmake --build $(1) --target package-windows trust_certificate
	crawler/tests/win32/package_test.sh $(1)/package/*.zip $(BUILD) $(1) $(2) $(SAMPLE_SITE)
endef

windows: deps-windows
	$(call windows_build,$(WIN_BUILD),toolchain-mingw-i686.cmake)

# Which build is tested depends on the Wine installed, which make reads when it
# starts: a make that installs it first hands the tests on to a new make.
test-windows: deps-windows-packages
	@$(MAKE) --no-print-directory test-windows-installed

.PHONY: test-windows-installed
test-windows-installed: windows configure
ifeq ($(RUNS_32BIT),yes)
	$(call windows_test,$(WIN_BUILD),wine)
	$(call windows_package_test,$(WIN_BUILD),wine)
else
	@echo "== This kernel runs no 32-bit programs: testing the 64-bit build of the same sources under wine64."
	$(call windows_build,$(WIN64_BUILD),toolchain-mingw-x86_64.cmake)
	$(call windows_test,$(WIN64_BUILD),/usr/lib/wine/wine64)
	$(call windows_package_test,$(WIN64_BUILD),/usr/lib/wine/wine64)
endif

package-windows: windows
	cmake --build $(WIN_BUILD) --target package-windows
