# A Release build without sanitizers, the build that is packaged, compiles and links with the flags
# Debian builds its own packages with, every hardening feature on (on Debian 12: stack protector,
# fortified libc calls, format-string checks, relocations read-only and bound at start-up; the
# compiler makes position-independent executables by default). Sanitizer and debug builds keep
# their own flags: _FORTIFY_SOURCE needs optimisation and stands in AddressSanitizer's way. The
# build type still sets the optimisation level, and no debug information is made, since the package
# is stripped and has no debug-symbol companion. dpkg-buildflags also honours the usual
# DEB_*FLAGS_APPEND and DEB_BUILD_MAINT_OPTIONS from the environment.
find_program(PIMROSE_DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags)
set(_pimrose_dpkg_default OFF)
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT PIMROSE_SANITIZE AND PIMROSE_DPKG_BUILDFLAGS_PROGRAM)
  set(_pimrose_dpkg_default ON)
endif()
option(PIMROSE_DPKG_BUILDFLAGS "Compile and link with dpkg-buildflags' flags, all hardening on"
       ${_pimrose_dpkg_default})

function(pimrose_dpkg_flags kind out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
            ${PIMROSE_DPKG_BUILDFLAGS_PROGRAM} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(_flags UNIX_COMMAND "${_flags}")
  list(FILTER _flags EXCLUDE REGEX "^-(g|O[0-9sgz]?)$")
  list(JOIN _flags " " _flags)
  set(${out} "${_flags}" PARENT_SCOPE)
endfunction()

if(PIMROSE_DPKG_BUILDFLAGS)
  if(PIMROSE_SANITIZE)
    message(FATAL_ERROR "PIMROSE_DPKG_BUILDFLAGS and PIMROSE_SANITIZE do not go together")
  endif()
  if(NOT PIMROSE_DPKG_BUILDFLAGS_PROGRAM)
    message(FATAL_ERROR "PIMROSE_DPKG_BUILDFLAGS needs dpkg-buildflags (package dpkg-dev)")
  endif()
  pimrose_dpkg_flags(CPPFLAGS _pimrose_cppflags)
  pimrose_dpkg_flags(CFLAGS _pimrose_cflags)
  pimrose_dpkg_flags(CXXFLAGS _pimrose_cxxflags)
  pimrose_dpkg_flags(LDFLAGS _pimrose_ldflags)
  string(APPEND CMAKE_C_FLAGS " ${_pimrose_cppflags} ${_pimrose_cflags}")
  string(APPEND CMAKE_CXX_FLAGS " ${_pimrose_cppflags} ${_pimrose_cxxflags}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${_pimrose_ldflags}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${_pimrose_ldflags}")
  message(STATUS "dpkg-buildflags: ${_pimrose_cppflags} ${_pimrose_cxxflags} | ${_pimrose_ldflags}")
endif()
