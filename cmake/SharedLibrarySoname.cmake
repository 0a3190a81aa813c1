# The soname a library found by pkg-config is loaded by at run time (what dlopen is to be given),
# read from the library file itself: pimrose_soname(LibHeif heif OUT) sets OUT to "libheif.so.1".
function(pimrose_soname prefix name out)
  find_library(_library_${name} NAMES ${name} HINTS ${${prefix}_LIBRARY_DIRS} REQUIRED)
  find_program(_objdump NAMES objdump ${CMAKE_OBJDUMP} REQUIRED)
  execute_process(COMMAND ${_objdump} -p ${_library_${name}} OUTPUT_VARIABLE _headers COMMAND_ERROR_IS_FATAL ANY)
  if(NOT _headers MATCHES "SONAME +([^ \n]+)")
    message(FATAL_ERROR "no soname in ${_library_${name}}")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# libheif and libjxl are opened when the first picture that needs them is decoded
# (src/codecs/shared_library.h); every target that compiles src/codecs gets their names.
function(lazily_opened_codecs target)
  pimrose_soname(LibHeif heif _heif)
  pimrose_soname(LibJxl jxl _jxl)
  target_compile_definitions(${target} PRIVATE PIMROSE_LIBHEIF_SONAME="${_heif}" PIMROSE_LIBJXL_SONAME="${_jxl}")
  target_include_directories(${target} PRIVATE ${LibHeif_INCLUDE_DIRS} ${LibJxl_INCLUDE_DIRS})
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
endfunction()
