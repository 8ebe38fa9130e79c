# Toolchain for the 64-bit ARM build (aarch64, little-endian), run under
# qemu-aarch64. Use: scripts/test-cross.sh arm64
set(QN_CROSS_ARCH arm64)
set(QN_CROSS_TRIPLET aarch64-linux-gnu)
set(QN_CROSS_GNU aarch64-linux-gnu)
set(QN_CROSS_QEMU aarch64)
set(QN_CROSS_LOADER ld-linux-aarch64.so.1)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(QN_CROSS_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
