# make fuzz: every fuzz target built with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in $(FUZZ_BUILD), then run for FUZZ_SECONDS each.
# FUZZ_TARGETS picks some by name. Each target's corpus grows in
# $(FUZZ_BUILD)/corpus/<name> (seeded from the tracked seeds, which stay as they
# are); a failing input lands in $(FUZZ_BUILD)/artifacts/<name>/.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
# Inputs beyond this many bytes, runs beyond these seconds or this memory are faults.
FUZZ_OPTIONS ?= -max_len=8192 -timeout=30 -rss_limit_mb=2048

fuzz: deps gumbo-source
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOVIK_BUILD_FUZZ=ON \
	  -DPLOVIK_BUILD_TESTS=OFF -DPLOVIK_BUILD_BENCH=OFF -DPLOVIK_INSTALL=OFF $(CMAKE_ARGS) >/dev/null
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	@failed=; for seeds in $(FUZZ_BUILD)/fuzz/*.seeds; do \
	  name=$$(basename $$seeds .seeds); \
	  [ -x $(FUZZ_BUILD)/fuzz/$$name ] || continue; \
	  [ -z "$(FUZZ_TARGETS)" ] || case " $(FUZZ_TARGETS) " in *" $$name "*) ;; *) continue;; esac; \
	  corpus=$(FUZZ_BUILD)/corpus/$$name; artifacts=$(FUZZ_BUILD)/artifacts/$$name; \
	  mkdir -p $$corpus $$artifacts; cp -R "$$(cat $$seeds)"/. $$corpus/; \
	  echo "== $$name for $(FUZZ_SECONDS) s (log: $(FUZZ_BUILD)/fuzz/$$name.log)"; \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$(CURDIR)/cmake/fuzz/ubsan.supp \
	  $(FUZZ_BUILD)/fuzz/$$name -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_OPTIONS) \
	    -artifact_prefix=$$artifacts/ $$corpus > $(FUZZ_BUILD)/fuzz/$$name.log 2>&1 \
	    && grep -E '^stat::(number_of_executed_units|new_units_added)|^Done' $(FUZZ_BUILD)/fuzz/$$name.log \
	    || { tail -40 $(FUZZ_BUILD)/fuzz/$$name.log; failed="$$failed $$name"; }; \
	done; [ -z "$$failed" ] || { echo "== faults found by:$$failed"; exit 1; }
