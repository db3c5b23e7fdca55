# plovik.exe in the Windows builds. Its tests need cpp-httplib in its header-only
# form (Debian's installed header is the split one); the standard link rules need
# libcurl's URL API as a static library for each target. Both come from Debian's
# source packages, fetched into the folder of mk/sources.mk; gumbo is compiled by
# CMake from the source the Linux build uses.
WIN_DEPS_DIR := $(abspath build-windows-deps)
WIN_SRC_DIR  := $(DEPS_SRC_DIR)
HTTPLIB_WIN  := $(WIN_DEPS_DIR)/httplib/httplib.h
# The 64-bit target only where the tests run as a 64-bit build (see windows.mk).
WIN_TRIPLETS := i686-w64-mingw32 $(if $(shell wine --version >/dev/null 2>&1 && echo yes),,x86_64-w64-mingw32)
SQLITE_AMALGAMATION := $(WIN_DEPS_DIR)/sqlite/sqlite3.c
WIN_CMAKE_ARGS += -DPLOVIK_HTTPLIB_DIR=$(WIN_DEPS_DIR)/httplib -DPLOVIK_WIN_DEPS_DIR=$(WIN_DEPS_DIR) \
  -DPLOVIK_GUMBO_SOURCE_DIR=$(DEPS_SRC_DIR)/gumbo -DPLOVIK_SQLITE_SOURCE_DIR=$(dir $(SQLITE_AMALGAMATION))
WIN_CC_LAUNCHER = $(if $(shell command -v ccache),ccache )

$(HTTPLIB_WIN): | $(DEPS_DIR)/apt/updated
	$(call deps_source,cpp-httplib/bookworm,cpp-httplib_*.orig.tar.xz)
	rm -rf $(WIN_SRC_DIR)/httplib && mkdir -p $(WIN_SRC_DIR)/httplib
	tar -xJf $(WIN_SRC_DIR)/cpp-httplib_*.orig.tar.xz -C $(WIN_SRC_DIR)/httplib --strip-components=1
	mkdir -p $(dir $@) && cp $(WIN_SRC_DIR)/httplib/httplib.h $@

$(WIN_SRC_DIR)/curl/configure: | $(DEPS_DIR)/apt/updated
	$(call deps_source,curl/bookworm,curl_*.orig.tar.gz)
	rm -rf $(WIN_SRC_DIR)/curl && mkdir -p $(WIN_SRC_DIR)/curl
	tar -xzf $(WIN_SRC_DIR)/curl_*.orig.tar.gz -C $(WIN_SRC_DIR)/curl --strip-components=1
	touch $@

# libcurl with every protocol but http and https left out, no proxy, no cookies, no
# authentication: the program uses only its URL API (which needs the scheme table,
# so https stays, over the system's Schannel). Fetching is WinINet's.
CURL_WIN_CONFIGURE = --disable-shared --enable-static --with-schannel --without-zlib --without-brotli \
  --without-zstd --without-libpsl --without-libidn2 --without-nghttp2 --without-librtmp --without-libssh2 \
  --disable-ldap --disable-ldaps --disable-rtsp --disable-dict --disable-telnet --disable-tftp --disable-pop3 \
  --disable-imap --disable-smb --disable-smtp --disable-gopher --disable-mqtt --disable-ftp --disable-file \
  --disable-manual --disable-proxy --disable-cookies --disable-http-auth --disable-doh --disable-mime \
  --disable-netrc --disable-alt-svc --disable-hsts --disable-ntlm --disable-ntlm-wb --disable-crypto-auth \
  --disable-threaded-resolver --disable-unix-sockets --disable-verbose --disable-sspi --disable-tls-srp \
  --disable-socketpair --disable-dateparse --disable-progress-meter --disable-headers-api --disable-websockets \
  --disable-get-easy-options --disable-libcurl-option --disable-dependency-tracking

$(WIN_DEPS_DIR)/%/lib/libcurl.a: $(WIN_SRC_DIR)/curl/configure | deps-windows-packages
	rm -rf $(WIN_DEPS_DIR)/$*/curl-build && mkdir -p $(WIN_DEPS_DIR)/$*/curl-build
	cd $(WIN_DEPS_DIR)/$*/curl-build && $(WIN_SRC_DIR)/curl/configure --host=$* CC="$(WIN_CC_LAUNCHER)$*-gcc" \
	  --prefix=$(WIN_DEPS_DIR)/$* $(CURL_WIN_CONFIGURE) >configure.log 2>&1 || { tail -30 configure.log; exit 1; }
	$(MAKE) -C $(WIN_DEPS_DIR)/$*/curl-build/lib -j $(JOBS) install >/dev/null
	$(MAKE) -C $(WIN_DEPS_DIR)/$*/curl-build/include install >/dev/null

# SQLite for saved crawls: Debian's source package is the full tree, from which its
# own tools (built with the host's compiler, driven by tclsh) generate the
# amalgamation, one sqlite3.c that CMake compiles for each target.
$(WIN_SRC_DIR)/sqlite/configure: | $(DEPS_DIR)/apt/updated
	$(call deps_source,sqlite3/bookworm,sqlite3_*.orig.tar.xz)
	rm -rf $(WIN_SRC_DIR)/sqlite && mkdir -p $(WIN_SRC_DIR)/sqlite
	tar -xJf $(WIN_SRC_DIR)/sqlite3_*.orig.tar.xz -C $(WIN_SRC_DIR)/sqlite --strip-components=1
	touch $@

$(SQLITE_AMALGAMATION): $(WIN_SRC_DIR)/sqlite/configure | deps-windows-packages
	rm -rf $(WIN_DEPS_DIR)/sqlite-build && mkdir -p $(WIN_DEPS_DIR)/sqlite-build
	cd $(WIN_DEPS_DIR)/sqlite-build && $(WIN_SRC_DIR)/sqlite/configure --disable-tcl >configure.log 2>&1 || { tail -30 configure.log; exit 1; }
	$(MAKE) -C $(WIN_DEPS_DIR)/sqlite-build sqlite3.c >/dev/null
	mkdir -p $(dir $@) && cp $(WIN_DEPS_DIR)/sqlite-build/sqlite3.c $(WIN_DEPS_DIR)/sqlite-build/sqlite3.h $(dir $@)

# The header-only httplib alone (the 32-bit Linux tests take it too).
.PHONY: deps-httplib
deps-httplib: $(HTTPLIB_WIN)

deps-windows: $(HTTPLIB_WIN) $(GUMBO_SOURCE) $(SQLITE_AMALGAMATION) $(foreach t,$(WIN_TRIPLETS),$(WIN_DEPS_DIR)/$(t)/lib/libcurl.a)

# The window's icon and splash picture are the Qt window's, drawn by the Linux
# build's art tool (Qt has no build for the cross toolchain).
WIN_CMAKE_ARGS += -DPLOVIK_ART_DIR=$(abspath $(BUILD))/crawler/ui/art

.PHONY: windows-art
windows-art: configure
	cmake --build $(BUILD) --target plovik_art_files

windows: windows-art
