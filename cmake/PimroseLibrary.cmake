# One static library per subsystem folder: every .cpp in the folder belongs to it, so adding a
# file never means editing a list.
function(pimrose_library name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(pimrose_${name} STATIC ${_sources})
  target_include_directories(pimrose_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(pimrose_${name} PUBLIC ${ARG_LINKS})
  pimrose_warnings(pimrose_${name})
endfunction()

# One test program per subsystem folder under tests/, linked against that subsystem's library.
function(pimrose_test name)
  cmake_parse_arguments(ARG "" "" "LINKS;LABELS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _sources)
    return()
  endif()
  add_executable(test_${name} ${_sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_LINKS} pimrose_test_support GTest::gtest GTest::gmock)
  pimrose_warnings(test_${name})
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PIMROSE_SOURCE_DIR=${PROJECT_SOURCE_DIR};PIMROSE_TESTDATA_DIR=${PIMROSE_TESTDATA_DIR}"
    LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()
