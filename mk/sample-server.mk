# The bundled sample site on a loopback port, for the recipes that crawl it. A recipe
# line starts with $(START_SAMPLE_SERVER) and then uses $$port; the server stops when
# the line ends, however it ends.
SAMPLE_SITE ?= examples/site

START_SAMPLE_SERVER = set -e; dir=$$(mktemp -d); \
	$(BUILD)/bin/plovik_sample_server --root $(SAMPLE_SITE) --port-file $$dir/port > $$dir/server.log 2>&1 & \
	pid=$$!; trap 'kill $$pid 2>/dev/null; wait $$pid 2>/dev/null; rm -rf $$dir' EXIT INT TERM; \
	for i in $$(seq 100); do [ -s $$dir/port ] && break; sleep 0.1; done; \
	[ -s $$dir/port ] || { echo "the sample server did not start"; cat $$dir/server.log; exit 1; }; \
	port=$$(cat $$dir/port);
