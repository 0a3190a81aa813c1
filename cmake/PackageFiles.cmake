# What a distribution expects beside the program: the manual page, the copyright file, the
# changelog and the AppStream metadata; and the binary stripped as Debian strips it. The manual
# page carries the version from project().
configure_file(${PROJECT_SOURCE_DIR}/packaging/pimrose.1.in ${PROJECT_BINARY_DIR}/packaging/pimrose.1 @ONLY)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pimrose)
install(FILES packaging/io.github.pimrose.Pimrose.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(CODE "set(PIMROSE_SOURCE_DIR [[${PROJECT_SOURCE_DIR}]])
  set(PIMROSE_STRIP [[${CMAKE_STRIP}]])
  set(PIMROSE_BINDIR [[${CMAKE_INSTALL_BINDIR}]])
  set(PIMROSE_PACKAGE_STAGE [[${PROJECT_BINARY_DIR}/packaging]])
  set(PIMROSE_MANDIR [[${CMAKE_INSTALL_MANDIR}]])
  set(PIMROSE_DOCDIR [[${CMAKE_INSTALL_DATAROOTDIR}/doc/pimrose]])")
install(SCRIPT cmake/PackageInstall.cmake)
