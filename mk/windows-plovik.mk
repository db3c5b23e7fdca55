# plovik.exe in the Windows builds: its tests need cpp-httplib in its header-only
# form (Debian's installed header is the split one), taken from Debian's source
# package with a private apt state, so the machine's sources list stays as it is.
WIN_DEPS_DIR := $(abspath build-windows-deps)
HTTPLIB_WIN  := $(WIN_DEPS_DIR)/httplib/httplib.h
WIN_CMAKE_ARGS += -DPLOVIK_HTTPLIB_DIR=$(WIN_DEPS_DIR)/httplib

$(HTTPLIB_WIN):
	@mkdir -p $(WIN_DEPS_DIR)/apt/lists/partial $(WIN_DEPS_DIR)/apt/sources $(WIN_DEPS_DIR)/src
	@printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
	  > $(WIN_DEPS_DIR)/apt/sources/src.sources
	apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$(WIN_DEPS_DIR)/apt/sources \
	  -o Dir::State::Lists=$(WIN_DEPS_DIR)/apt/lists update >/dev/null
	cd $(WIN_DEPS_DIR)/src && apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$(WIN_DEPS_DIR)/apt/sources \
	  -o Dir::State::Lists=$(WIN_DEPS_DIR)/apt/lists source --download-only cpp-httplib >/dev/null 2>&1
	tar -xJf $(WIN_DEPS_DIR)/src/cpp-httplib_*.orig.tar.xz -C $(WIN_DEPS_DIR)/src
	mkdir -p $(dir $@) && cp $(WIN_DEPS_DIR)/src/*/httplib.h $@

deps-windows: $(HTTPLIB_WIN)

# The window's icon and splash picture are the Qt window's, drawn by the Linux
# build's art tool (Qt has no build for the cross toolchain).
WIN_CMAKE_ARGS += -DPLOVIK_ART_DIR=$(abspath $(BUILD))/crawler/ui/art

.PHONY: windows-art
windows-art: configure
	cmake --build $(BUILD) --target plovik_art_files

windows: windows-art
