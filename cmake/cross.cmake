# The part every cross toolchain shares (cmake/i386.cmake, arm64.cmake,
# s390x.cmake set QN_CROSS_ARCH, QN_CROSS_TRIPLET, QN_CROSS_GNU and
# QN_CROSS_FLAGS first). Debian's cross compiler builds with its own C
# library and libstdc++; the target's libraries come from QN_SYSROOT, the
# packages scripts/cross-sysroot.sh unpacks (default: the build's sysroot/).
# Programs the build runs (the data tools, GoogleTest's discovery, every
# test) go through CMAKE_CROSSCOMPILING_EMULATOR, the build's run-target:
#   QN_CROSS_RUN=qemu    qemu-ARCH with the sysroot as its library root
#   QN_CROSS_RUN=native  the sysroot's own dynamic loader, for a host kernel
#                        that runs the target's programs itself (i386)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${QN_CROSS_GNU}-gcc)
set(CMAKE_CXX_COMPILER ${QN_CROSS_GNU}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${QN_CROSS_TRIPLET})

if(NOT QN_SYSROOT)
  set(QN_SYSROOT ${CMAKE_BINARY_DIR}/sysroot CACHE PATH "Target libraries (scripts/cross-sysroot.sh)")
endif()
if(NOT QN_CROSS_RUN)
  set(QN_CROSS_RUN qemu CACHE STRING "How the host runs target programs: qemu or native")
endif()
# try_compile projects read this file again in a folder of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QN_SYSROOT QN_CROSS_RUN)
if(NOT EXISTS ${QN_SYSROOT}/usr/include/mikmod.h)
  message(FATAL_ERROR "No target libraries in ${QN_SYSROOT}: run scripts/cross-sysroot.sh ${QN_CROSS_ARCH} <build folder>")
endif()

set(lib ${QN_SYSROOT}/usr/lib/${QN_CROSS_TRIPLET})
set(base_lib ${QN_SYSROOT}/lib/${QN_CROSS_TRIPLET})
# The sysroot's headers come after the compiler's own (its C library's).
set(CMAKE_C_FLAGS_INIT "${QN_CROSS_FLAGS} -idirafter ${QN_SYSROOT}/usr/include")
set(CMAKE_CXX_FLAGS_INIT "${QN_CROSS_FLAGS} -idirafter ${QN_SYSROOT}/usr/include")
# rpath-link: where the linker finds the libraries those libraries need
# (PulseAudio's private one sits in a folder of its own).
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-L${lib} -L${base_lib} -Wl,-rpath-link,${lib}:${base_lib}:${lib}/pulseaudio")
endforeach()

set(CMAKE_FIND_ROOT_PATH ${QN_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${lib}/pkgconfig:${QN_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${QN_SYSROOT}")
set(ENV{PKG_CONFIG_PATH} "")

# The emulator is a script the configure step writes (cmake/QnTesting.cmake),
# so that switching QN_CROSS_RUN reaches every test already discovered.
if(QN_CROSS_RUN STREQUAL "native")
  # The loader searches only what it is told: every folder of the sysroot
  # that holds a shared library (PulseAudio keeps a private one in a folder
  # of its own, which its RUNPATH names on the host, not in the sysroot).
  file(GLOB_RECURSE shared LIST_DIRECTORIES false ${base_lib}/*.so* ${lib}/*.so*)
  set(library_path ${base_lib}:${lib})
  foreach(file ${shared})
    get_filename_component(folder ${file} DIRECTORY)
    string(FIND ":${library_path}:" ":${folder}:" seen)
    if(seen EQUAL -1)
      string(APPEND library_path ":${folder}")
    endif()
  endforeach()
  set(QN_TARGET_RUN ${base_lib}/${QN_CROSS_LOADER} --library-path ${library_path})
elseif(QN_CROSS_RUN STREQUAL "qemu")
  find_program(QN_QEMU qemu-${QN_CROSS_QEMU} REQUIRED)
  set(QN_TARGET_RUN ${QN_QEMU} -L ${QN_SYSROOT})
else()
  message(FATAL_ERROR "QN_CROSS_RUN is '${QN_CROSS_RUN}': qemu or native")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/run-target)
