# The window: start it, and take its pictures under a virtual display.
SCREENSHOTS ?= screenshots

run: build
	$(BUILD)/bin/plovik

# Crawls the bundled sample site from a loopback server and saves PNGs of the main
# window, the splash, the About box and the popup menu into $(SCREENSHOTS)/.
screenshots: build
	@mkdir -p $(SCREENSHOTS)
	@rm -f $(BUILD)/sample-port; \
	$(BUILD)/bin/plovik_sample_server --root examples/site --port-file $(BUILD)/sample-port >/dev/null & \
	server=$$!; \
	for i in $$(seq 100); do [ -s $(BUILD)/sample-port ] && break; sleep 0.1; done; \
	port=$$(cat $(BUILD)/sample-port); \
	no_proxy='*' xvfb-run -a -s '-screen 0 1024x768x24' \
	  $(BUILD)/bin/plovik_screenshots --url http://127.0.0.1:$$port/ --out $(SCREENSHOTS); \
	status=$$?; kill $$server; wait $$server 2>/dev/null; exit $$status
