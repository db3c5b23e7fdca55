# Debian source packages the builds compile from, fetched once with a private apt
# state so that the machine's sources list stays as it is. Both the Linux and the
# Windows builds compile gumbo from DEPS_SRC_DIR/gumbo, so both parse with one version.
DEPS_DIR     := $(abspath build-deps)
DEPS_SRC_DIR := $(DEPS_DIR)/src
GUMBO_SOURCE := $(DEPS_SRC_DIR)/gumbo/src/gumbo.h

DEPS_APT = apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$(DEPS_DIR)/apt/sources \
  -o Dir::State::Lists=$(DEPS_DIR)/apt/lists
# gumbo comes from the next release: the mirror serves no source of bookworm's.
DEPS_SUITES = bookworm trixie

$(DEPS_DIR)/apt/updated:
	@mkdir -p $(DEPS_DIR)/apt/lists/partial $(DEPS_DIR)/apt/sources $(DEPS_SRC_DIR)
	@printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: $(DEPS_SUITES)\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
	  > $(DEPS_DIR)/apt/sources/src.sources
	$(DEPS_APT) update >/dev/null
	@touch $@

# $(call deps_source,<package/suite>,<orig tarball glob>): only the upstream tarball
# is needed, so a missing Debian patch tarball is no failure.
define deps_source
	cd $(DEPS_SRC_DIR) && { $(DEPS_APT) source --download-only $(1) >/dev/null 2>&1 || true; }
	@ls $(DEPS_SRC_DIR)/$(2) >/dev/null 2>&1 || { echo "could not fetch the source of $(1)"; exit 1; }
endef

$(GUMBO_SOURCE): | $(DEPS_DIR)/apt/updated
	$(call deps_source,gumbo-parser/trixie,gumbo-parser_*.orig.tar.*)
	rm -rf $(DEPS_SRC_DIR)/gumbo && mkdir -p $(DEPS_SRC_DIR)/gumbo
	tar -xf $(DEPS_SRC_DIR)/gumbo-parser_*.orig.tar.* -C $(DEPS_SRC_DIR)/gumbo --strip-components=1
	touch $@

.PHONY: gumbo-source
gumbo-source: $(GUMBO_SOURCE)
