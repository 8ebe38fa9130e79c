# Read by cpack before it makes a package. Without `file` CPack cannot tell
# the programs from the data, and without dpkg-shlibdeps it only warns and
# makes a Debian package that declares no libraries at all: stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(QN_FILE_PROGRAM file)
  find_program(QN_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
  if(NOT QN_FILE_PROGRAM OR NOT QN_SHLIBDEPS_PROGRAM)
    message(FATAL_ERROR "the Debian package needs the programs file and dpkg-shlibdeps to "
      "declare its libraries; install them with: sudo apt install file dpkg-dev "
      "(or bash scripts/install-deps.sh)")
  endif()
endif()
