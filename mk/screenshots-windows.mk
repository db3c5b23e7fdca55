# The Windows window's pictures under Wine and Xvfb: the splash, the window after a
# crawl of the sample site and the About box, as PNGs in docs/. Wine's virtual
# desktop draws the title bars (Xvfb has no window manager).
SCREENSHOTS_WINDOWS ?= docs
SHOT_BUILD = $(if $(RUNS_32BIT),$(WIN_BUILD),$(WIN64_BUILD))
SHOT_TOOLCHAIN = $(if $(RUNS_32BIT),toolchain-mingw-i686.cmake,toolchain-mingw-x86_64.cmake)
SHOT_WINE = $(if $(RUNS_32BIT),wine,/usr/lib/wine/wine64)

.PHONY: screenshots-windows
screenshots-windows: deps-windows windows-art
	cmake -S . -B $(SHOT_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/$(SHOT_TOOLCHAIN) $(WIN_CMAKE_ARGS) $(CMAKE_ARGS) >/dev/null
	cmake --build $(SHOT_BUILD) --target plovik_screenshots -j $(JOBS)
	cmake --build $(BUILD) --target plovik_sample_server -j $(JOBS)
	@$(call wine_env,$(SHOT_BUILD)) $(SHOT_WINE) wineboot --init >/dev/null 2>&1
	@# A crash ends the program instead of waiting behind Wine's crash dialog.
	@$(call wine_env,$(SHOT_BUILD)) $(SHOT_WINE) reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
	  /t REG_DWORD /d 0 /f >/dev/null 2>&1
	@mkdir -p $(SCREENSHOTS_WINDOWS)
	@$(START_SAMPLE_SERVER) shots=$$(mktemp -d); \
	trap 'kill $$pid 2>/dev/null; wait $$pid 2>/dev/null; rm -rf $$dir $$shots' EXIT INT TERM; \
	$(call wine_env,$(SHOT_BUILD)) no_proxy='*' timeout 300 xvfb-run -a -s '-screen 0 1024x768x24' \
	  $(SHOT_WINE) explorer /desktop=plovik,1024x768 $(SHOT_BUILD)/bin/plovik_screenshots.exe \
	  --url http://127.0.0.1:$$port/ --out "Z:$$shots" && status=0 || status=$$?; \
	$(call wine_env,$(SHOT_BUILD)) wineserver -k >/dev/null 2>&1 || true; \
	for name in splash main-window about; do \
	  [ -f $$shots/$$name.bmp ] && convert $$shots/$$name.bmp $(SCREENSHOTS_WINDOWS)/$$name-windows.png && \
	    echo "wrote $(SCREENSHOTS_WINDOWS)/$$name-windows.png"; \
	done; exit $$status
