# Runs at install time, inside cpack too, after the binary is installed. A stripped install (cpack,
# or cmake --install --strip) also drops the sections Debian's dh_strip drops: the compilers'
# .comment and .note. The manual page and the changelog go in gzipped, as Debian keeps them; gzip -n
# leaves out the name and time stamp, so the same sources give the same bytes. The changelog is
# signed by whoever makes the package; a plain install without a name leaves it out (cpack itself
# refuses to start without one).
include(${PIMROSE_SOURCE_DIR}/cmake/PackageMaintainer.cmake)

if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND ${PIMROSE_STRIP} --remove-section=.comment --remove-section=.note
                          "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${PIMROSE_BINDIR}/pimrose"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

function(pimrose_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(packed ${PIMROSE_PACKAGE_STAGE}/gz/${name}.gz)
  file(MAKE_DIRECTORY ${PIMROSE_PACKAGE_STAGE}/gz)
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${packed} COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${destination}" TYPE FILE FILES ${packed})
endfunction()

pimrose_install_gzipped(${PIMROSE_PACKAGE_STAGE}/pimrose.1 ${PIMROSE_MANDIR}/man1)

pimrose_package_maintainer(PIMROSE_PACKAGE_MAINTAINER)
if(PIMROSE_PACKAGE_MAINTAINER)
  configure_file(${PIMROSE_SOURCE_DIR}/packaging/changelog ${PIMROSE_PACKAGE_STAGE}/changelog @ONLY)
  pimrose_install_gzipped(${PIMROSE_PACKAGE_STAGE}/changelog ${PIMROSE_DOCDIR})
else()
  message(STATUS "No changelog installed: DEBFULLNAME and DEBEMAIL name nobody to sign it")
endif()
