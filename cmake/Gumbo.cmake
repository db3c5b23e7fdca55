# gumbo, the standard link rules' HTML tokenizer, compiled from Debian's source
# package on every platform (make gumbo-source fetches it), so that Linux and
# Windows read pages with one version. The driver uses its tokenizer, which the
# library does not export: the target publishes the source folder.
set(PLOVIK_GUMBO_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build-deps/src/gumbo" CACHE PATH
    "Folder of gumbo's unpacked source (make gumbo-source)")
set(gumbo_src ${PLOVIK_GUMBO_SOURCE_DIR}/src)
if(NOT EXISTS "${gumbo_src}/tokenizer.h")
  message(FATAL_ERROR "No gumbo source in ${PLOVIK_GUMBO_SOURCE_DIR}: run make gumbo-source")
endif()

# The tokenizer compares each new attribute name of a tag with all earlier ones, so
# one tag of a hostile page with 100,000 attributes costs billions of comparisons.
# The copy built here compares with the first 64 only: a later duplicate is kept
# rather than dropped, which changes no first occurrence, the only one read.
set(gumbo_duplicate_check "for (unsigned int i = 0; i < attributes->length; ++i) {
    GumboAttribute* attr = attributes->data[i];
    if (strlen(attr->name) == tag_state->_buffer.length &&")
set(gumbo_bounded_check "for (unsigned int i = 0; i < attributes->length && i < 64; ++i) {
    GumboAttribute* attr = attributes->data[i];
    if (strlen(attr->name) == tag_state->_buffer.length &&")
file(READ ${gumbo_src}/tokenizer.c gumbo_tokenizer)
string(FIND "${gumbo_tokenizer}" "${gumbo_duplicate_check}" gumbo_check_at)
if(gumbo_check_at EQUAL -1)
  message(FATAL_ERROR "gumbo's tokenizer.c in ${gumbo_src} has no attribute check to bound: another version?")
endif()
string(REPLACE "${gumbo_duplicate_check}" "${gumbo_bounded_check}" gumbo_tokenizer "${gumbo_tokenizer}")
set(gumbo_tokenizer_copy ${CMAKE_CURRENT_BINARY_DIR}/gumbo/tokenizer.c)
# Rewritten only when it changes, so that a new configure rebuilds nothing.
file(WRITE ${gumbo_tokenizer_copy}.new "${gumbo_tokenizer}")
file(COPY_FILE ${gumbo_tokenizer_copy}.new ${gumbo_tokenizer_copy} ONLY_IF_DIFFERENT)

file(GLOB gumbo_sources ${gumbo_src}/*.c)
list(REMOVE_ITEM gumbo_sources ${gumbo_src}/tokenizer.c)
add_library(plovik_gumbo STATIC ${gumbo_sources} ${gumbo_tokenizer_copy})
set_target_properties(plovik_gumbo PROPERTIES PLOVIK_THIRD_PARTY ON)
set_target_properties(plovik_gumbo PROPERTIES C_STANDARD 99 C_EXTENSIONS ON POSITION_INDEPENDENT_CODE ON)
# Not our code: its warnings are not ours to fix.
target_compile_options(plovik_gumbo PRIVATE -w)
target_include_directories(plovik_gumbo SYSTEM PUBLIC ${gumbo_src})
