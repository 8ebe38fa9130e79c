# Toolchain for the 64-bit IBM Z build (s390x, big-endian), run under
# qemu-s390x. Use: scripts/test-cross.sh s390x
set(QN_CROSS_ARCH s390x)
set(QN_CROSS_TRIPLET s390x-linux-gnu)
set(QN_CROSS_GNU s390x-linux-gnu)
set(QN_CROSS_QEMU s390x)
set(QN_CROSS_LOADER ld64.so.1)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(QN_CROSS_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
