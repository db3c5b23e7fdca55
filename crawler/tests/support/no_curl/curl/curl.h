// Stands in for libcurl's header where only the HTTP layer's own sources may use it.
#error "a header that others include needs libcurl's: keep libcurl inside crawler/http/"
