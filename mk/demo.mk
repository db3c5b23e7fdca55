# make demo: serve the bundled sample site on a loopback port and crawl it headless,
# with the program's real pause of one second between pages.
DEMO_SITE  ?= examples/site
DEMO_PAGES ?= 20

demo: build
	@set -e; dir=$$(mktemp -d); \
	$(BUILD)/bin/plovik_sample_server --root $(DEMO_SITE) --port-file $$dir/port > $$dir/server.log 2>&1 & \
	pid=$$!; trap 'kill $$pid 2>/dev/null; wait $$pid 2>/dev/null; rm -rf $$dir' EXIT INT TERM; \
	for i in $$(seq 100); do [ -s $$dir/port ] && break; sleep 0.1; done; \
	[ -s $$dir/port ] || { echo "demo: the sample server did not start"; cat $$dir/server.log; exit 1; }; \
	port=$$(cat $$dir/port); \
	echo "== Crawling the sample site at http://127.0.0.1:$$port/ (one page per second)"; \
	no_proxy="127.0.0.1,localhost$${no_proxy:+,$$no_proxy}" NO_PROXY="127.0.0.1,localhost$${NO_PROXY:+,$$NO_PROXY}" \
	  $(BUILD)/bin/plovik --crawl http://127.0.0.1:$$port/ --pages $(DEMO_PAGES)
