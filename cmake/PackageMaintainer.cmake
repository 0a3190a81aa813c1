# Who answers for a package made here: whoever makes it, named as Debian's own tools (dch, dh_make)
# take it from the environment: DEBFULLNAME and DEBEMAIL, or DEBEMAIL alone as "Name <address>".
# The sources carry no maintainer address of their own. cpack reads this file
# (CPACK_PROJECT_CONFIG_FILE) for the Maintainer field and stops when nobody is named; the install
# step signs the changelog with the same name (PackageInstall.cmake).
function(pimrose_package_maintainer out)
  set(email "$ENV{DEBEMAIL}")
  set(name "$ENV{DEBFULLNAME}")
  if(email MATCHES "^(.*[^ ]) *<([^<>]+)>$")
    if(NOT name)
      set(name "${CMAKE_MATCH_1}")
    endif()
    set(email "${CMAKE_MATCH_2}")
  endif()
  if(name AND email)
    set(${out} "${name} <${email}>" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

if(CPACK_GENERATOR)
  pimrose_package_maintainer(CPACK_DEBIAN_PACKAGE_MAINTAINER)
  if(NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
    message(FATAL_ERROR "The package needs a maintainer: set DEBFULLNAME and DEBEMAIL "
                        "(for example DEBFULLNAME='Ada Lovelace' DEBEMAIL=ada@example.org cpack)")
  endif()
endif()
