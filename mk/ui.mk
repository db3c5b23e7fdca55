# The window: start it, and take its pictures under a virtual display.
SCREENSHOTS ?= screenshots

run: build
	$(BUILD)/bin/plovik

# Crawls the bundled sample site from a loopback server and saves PNGs of the main
# window, the splash, the About box, the popup menu and the link views (a page's
# links, the broken links) into $(SCREENSHOTS)/.
screenshots: build
	@mkdir -p $(SCREENSHOTS)
	@$(START_SAMPLE_SERVER) \
	no_proxy='*' xvfb-run -a -s '-screen 0 1024x768x24' \
	  $(BUILD)/bin/plovik_screenshots --url http://127.0.0.1:$$port/ --out $(SCREENSHOTS)
