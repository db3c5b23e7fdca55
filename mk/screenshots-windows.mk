# The Windows window's pictures under Wine and Xvfb: the splash, the window after a
# crawl of the sample site, its link views and the About box, as PNGs in docs/. Wine's virtual
# desktop draws the title bars (Xvfb has no window manager).
SCREENSHOTS_WINDOWS ?= docs
SHOT_BUILD = $(if $(RUNS_32BIT),$(WIN_BUILD),$(WIN64_BUILD))
SHOT_TOOLCHAIN = $(if $(RUNS_32BIT),toolchain-mingw-i686.cmake,toolchain-mingw-x86_64.cmake)
SHOT_WINE = $(if $(RUNS_32BIT),wine,/usr/lib/wine/wine64)
# A prefix of its own: the virtual desktop set here stays out of the tests' prefix.
SHOT_ENV = WINEPREFIX=$(abspath $(SHOT_BUILD))/wineprefix-screenshots WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

.PHONY: screenshots-windows
screenshots-windows: deps-windows windows-art
	cmake -S . -B $(SHOT_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/$(SHOT_TOOLCHAIN) $(WIN_CMAKE_ARGS) $(CMAKE_ARGS) >/dev/null
	cmake --build $(SHOT_BUILD) --target plovik_screenshots -j $(JOBS)
	cmake --build $(BUILD) --target plovik_sample_server -j $(JOBS)
	@$(SHOT_ENV) $(SHOT_WINE) wineboot --init >/dev/null 2>&1
	@# The virtual desktop for every program of the prefix, and a crash ends the
	@# program instead of waiting behind Wine's crash dialog.
	@$(SHOT_ENV) $(SHOT_WINE) reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
	@$(SHOT_ENV) $(SHOT_WINE) reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
	@$(SHOT_ENV) $(SHOT_WINE) reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
	  /t REG_DWORD /d 0 /f >/dev/null 2>&1
	@# The desktop those commands started has no display: the program must start its own.
	@$(SHOT_ENV) wineserver -k >/dev/null 2>&1 || true
	@mkdir -p $(SCREENSHOTS_WINDOWS)
	@$(START_SAMPLE_SERVER) shots=$$(mktemp -d); \
	trap 'kill $$pid 2>/dev/null; wait $$pid 2>/dev/null; rm -rf $$dir $$shots' EXIT INT TERM; \
	$(SHOT_ENV) no_proxy='*' timeout 300 xvfb-run -a -s '-screen 0 1024x768x24' \
	  $(SHOT_WINE) $(SHOT_BUILD)/bin/plovik_screenshots.exe \
	  --url http://127.0.0.1:$$port/ --out "Z:$$shots" && status=0 || status=$$?; \
	$(SHOT_ENV) wineserver -k >/dev/null 2>&1 || true; \
	for name in splash main-window links-view broken-links about; do \
	  [ -f $$shots/$$name.bmp ] && convert $$shots/$$name.bmp $(SCREENSHOTS_WINDOWS)/$$name-windows.png && \
	    echo "wrote $(SCREENSHOTS_WINDOWS)/$$name-windows.png"; \
	done; exit $$status
