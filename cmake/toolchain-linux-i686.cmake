# cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i686.cmake: the portable parts as
# 32-bit Linux code (GCC's multilib, Debian's i386 packages), so that the widths of
# the 32-bit Windows build (size_t, long, pointers) are tested on any machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE2 arithmetic as on x86_64 and in the Windows build: x87's excess precision
# would round single-precision results differently.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
# The amd64 package configurations must not be found: Boost is header-only and found
# by its headers alone.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu/cmake /usr/lib/x86_64-linux-gnu)
set(Boost_NO_BOOST_CMAKE ON)

# Where the kernel runs no 32-bit programs (or PLOVIK_I686_EMULATOR asks for it),
# the tests run under qemu-i386.
set(PLOVIK_I686_EMULATOR "$ENV{PLOVIK_I686_EMULATOR}" CACHE STRING "Runs 32-bit test programs, or empty")
if(PLOVIK_I686_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLOVIK_I686_EMULATOR})
endif()
