# The browser build, qn-web: configured with Debian's emscripten
#   emcmake cmake -S . -B build-web -DQN_WEB=ON    (scripts/web.sh --build)
# It compiles the demo's sources and libmikmod's own Debian source (unpacked
# by scripts/install-deps.sh --web) to WebAssembly with SIMD: the SSE2 paths
# of the effects map onto it. The data files come from the native build,
# since the generators cannot run in a build for another machine.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "QN_WEB needs emscripten: emcmake cmake -S . -B build-web -DQN_WEB=ON "
                      "(scripts/web.sh --build does it)")
endif()

set(QN_NATIVE_BUILD ${PROJECT_SOURCE_DIR}/build CACHE PATH
    "The native build whose data folder the page preloads")
set(QN_WEB_DATA ${QN_NATIVE_BUILD}/data)
foreach(f zorv.dat objs.3dw music.xm)
  if(NOT EXISTS ${QN_WEB_DATA}/${f})
    message(FATAL_ERROR "No ${f} in ${QN_WEB_DATA}: build the native tree first "
                        "(scripts/web.sh --build does)")
  endif()
endforeach()

add_compile_options(-msimd128 -msse2
  $<$<COMPILE_LANGUAGE:CXX>:-include${PROJECT_SOURCE_DIR}/web/compat/bit_cast.h>)

# ---- libmikmod from its Debian source ----------------------------------------
# A plain list of the library's portable files: the player, the loaders, the
# software mixer and the "nosound" driver. The page's own driver
# (src/music/web_audio.cpp) hands the mixed sound to SDL's audio callback.
set(QN_MIKMOD_SOURCE "" CACHE PATH "libmikmod's unpacked source (scripts/install-deps.sh --web)")
if(NOT QN_MIKMOD_SOURCE)
  file(GLOB found LIST_DIRECTORIES true ${CMAKE_BINARY_DIR}/mikmod-source/libmikmod-*)
  list(FILTER found INCLUDE REGEX "/libmikmod-[0-9.]+$")
  if(NOT found)
    message(FATAL_ERROR "No libmikmod source in ${CMAKE_BINARY_DIR}/mikmod-source: "
                        "run scripts/install-deps.sh --web ${CMAKE_BINARY_DIR}")
  endif()
  list(GET found 0 QN_MIKMOD_SOURCE)
endif()
set(mik ${QN_MIKMOD_SOURCE})
file(GLOB mikmod_srcs ${mik}/playercode/*.c ${mik}/loaders/*.c ${mik}/mmio/*.c
     ${mik}/depackers/*.c)
list(APPEND mikmod_srcs ${mik}/posix/strcasecmp.c ${mik}/drivers/drv_nos.c)
# What configure would find on this platform; no output driver of the library's.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/mikmod-config/config.h CONTENT
"#define HAVE_FCNTL_H 1
#define HAVE_INTTYPES_H 1
#define HAVE_LIMITS_H 1
#define HAVE_MEMCMP 1
#define HAVE_POSIX_MEMALIGN 1
#define HAVE_SNPRINTF 1
#define HAVE_STDINT_H 1
#define HAVE_STDLIB_H 1
#define HAVE_STRINGS_H 1
#define HAVE_STRING_H 1
#define HAVE_STRSTR 1
#define HAVE_SYS_STAT_H 1
#define HAVE_SYS_TYPES_H 1
#define HAVE_UNISTD_H 1
#define STDC_HEADERS 1
#define MIKMOD_UNIX 1
")
add_library(qn_mikmod_web STATIC ${mikmod_srcs})
# Its own warnings are not ours to fix: the project's -Werror stays off here.
set_target_properties(qn_mikmod_web PROPERTIES COMPILE_OPTIONS "-w")
target_compile_definitions(qn_mikmod_web PRIVATE HAVE_CONFIG_H MIKMOD_BUILD)
target_include_directories(qn_mikmod_web PRIVATE ${CMAKE_BINARY_DIR}/mikmod-config)
target_include_directories(qn_mikmod_web SYSTEM PUBLIC ${mik}/include)
# The name the native build's libraries link libmikmod by.
add_library(PkgConfig::MIKMOD ALIAS qn_mikmod_web)
