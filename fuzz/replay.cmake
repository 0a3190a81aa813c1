# The fuzz targets built with this build's compiler and sanitizers and run over their stored
# inputs: the seeds and every regression the fuzzer found (fuzz/regressions/<target>/). Included
# by tests/CMakeLists.txt.
file(GLOB _fuzz_targets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/targets/*.cpp)
foreach(_target IN LISTS _fuzz_targets)
  get_filename_component(_name ${_target} NAME_WE)
  add_executable(replay_${_name} ${_target} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(replay_${_name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/targets)
  target_link_libraries(replay_${_name} PRIVATE pimrose_codecs pimrose_browsing pimrose_time_texts pimrose_text)
  if(_name STREQUAL "ini_document")
    target_link_libraries(replay_${_name} PRIVATE pimrose_platform)
  elseif(_name STREQUAL "ico_image")
    target_link_libraries(replay_${_name} PRIVATE pimrose_shell)
  elseif(_name STREQUAL "settings_values")
    target_link_libraries(replay_${_name} PRIVATE pimrose_settings)
  endif()
  pimrose_warnings(replay_${_name})
  set(_inputs ${PROJECT_SOURCE_DIR}/fuzz/seeds/${_name} ${PROJECT_SOURCE_DIR}/fuzz/regressions/${_name})
  if(_name STREQUAL "png_decode")
    list(APPEND _inputs ${PIMROSE_TESTDATA_DIR}/pngsuite/png)  # valid and corrupt PngSuite files
  endif()
  add_test(NAME fuzz_replay_${_name} COMMAND replay_${_name} ${_inputs})
  set_tests_properties(fuzz_replay_${_name} PROPERTIES LABELS fuzz TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endforeach()
