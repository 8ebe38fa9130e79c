# Toolchain for the 32-bit x86 build: Debian's cross compiler
# (g++-i686-linux-gnu), run natively where the host kernel executes i386
# programs and under qemu-i386 where it does not (QN_CROSS_RUN, chosen by
# scripts/test-cross.sh i386).
#
# Floating point: -msse2 -mfpmath=sse. Left at its default, i386 g++ does
# float and double arithmetic on the x87 stack (FLT_EVAL_METHOD 2), and a
# C++ compiler of this vintage keeps the excess precision only until a value
# happens to be spilled to memory, so a result depends on register
# allocation, optimisation level and sanitizer instrumentation. The engine,
# rasterizers, effects and tools store floats and doubles and expect each
# operation rounded as written, as on x86-64; SSE2 gives exactly that. The
# places meant to carry 80-bit intermediates (the tables, vector lengths,
# centroids) say so with Extended, which is long double and so x87
# extended precision here. Measured: built with x87 float and double, the archive and object
# files come out with other bytes than on x86-64 and four tests of the
# effects, the shaded filler and the scenes fail; with SSE2 the data files
# and every table match x86-64 byte for byte, and so does the whole captured
# demo (scripts/test-cross.sh i386 checks it). The price is a Pentium 4 /
# Athlon 64 class processor or newer.

set(QN_CROSS_ARCH i386)
set(QN_CROSS_TRIPLET i386-linux-gnu)
set(QN_CROSS_GNU i686-linux-gnu)
set(QN_CROSS_QEMU i386)
set(QN_CROSS_LOADER ld-linux.so.2)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QN_CROSS_FLAGS "-march=i686 -msse2 -mfpmath=sse")
# GCC 12 for i386 reports "iteration 1073741823 invokes undefined behavior"
# for a scalar tail loop that follows an SSE loop and is never entered (the
# frame's 76,800 pixels divide evenly); the loop is bounded by the pixel
# count, so the claim is false. Only the diagnostic is turned off.
string(APPEND QN_CROSS_FLAGS " -Wno-aggressive-loop-optimizations")
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
