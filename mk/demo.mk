# make demo: serve the bundled sample site on a loopback port and crawl it headless,
# with the program's real pause of one second between pages.
DEMO_PAGES ?= 20

demo: build
	@$(START_SAMPLE_SERVER) \
	echo "== Crawling the sample site at http://127.0.0.1:$$port/ (one page per second)"; \
	no_proxy="127.0.0.1,localhost$${no_proxy:+,$$no_proxy}" NO_PROXY="127.0.0.1,localhost$${NO_PROXY:+,$$NO_PROXY}" \
	  $(BUILD)/bin/plovik --crawl http://127.0.0.1:$$port/ --pages $(DEMO_PAGES)
