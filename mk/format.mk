# Formatting: every tracked C and C++ source as .clang-format says. The version is
# pinned so that the check gives the same verdict on every machine.
CLANG_FORMAT     = clang-format-14
FORMAT_PACKAGES  = clang-format-14 git
FORMAT_SOURCES   = $(shell git ls-files '*.c' '*.cpp' '*.h')

.PHONY: deps-format format format-check

deps-format:
	@mk/installed.sh $(FORMAT_PACKAGES) || { $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $(FORMAT_PACKAGES); }

format: deps-format
	$(CLANG_FORMAT) -i $(FORMAT_SOURCES)

format-check: deps-format
	@$(CLANG_FORMAT) --dry-run --Werror $(FORMAT_SOURCES) && echo "format-check: $(words $(FORMAT_SOURCES)) files as .clang-format says"
