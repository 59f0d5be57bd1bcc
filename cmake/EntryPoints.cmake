# A library's entry points are listed once, as an X-macro in its public header
# (NAME(X) with X(Name, Result, Params, Args, Contract) per entry point). The
# C++ preprocessor expands that list here, so what the build exports and checks
# is exactly what the compiler declares. Editing the header reconfigures.

# Sets OUT to the names the list LIST in HEADER expands to; INCLUDES are the
# directories the header's own includes need.
function(entry_point_names)
  cmake_parse_arguments(EP "" "HEADER;LIST;OUT" "INCLUDES" ${ARGN})
  get_filename_component(header_name ${EP_HEADER} NAME)
  get_filename_component(header_dir ${EP_HEADER} DIRECTORY)
  set(probe ${CMAKE_CURRENT_BINARY_DIR}/${EP_LIST}.cpp)
  file(WRITE ${probe}
    "#include \"${header_name}\"\n"
    "#define ENTRY_POINT_NAME(Name, Result, Params, Args, Contract) @@ Name @@\n"
    "${EP_LIST}(ENTRY_POINT_NAME)\n")
  set(include_flags -I${header_dir})
  foreach(dir IN LISTS EP_INCLUDES)
    list(APPEND include_flags -I${dir})
  endforeach()
  execute_process(
    COMMAND ${CMAKE_CXX_COMPILER} -E -P -x c++ ${include_flags} ${probe}
    OUTPUT_VARIABLE expanded ERROR_VARIABLE errors RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Cannot expand ${EP_LIST} in ${EP_HEADER}:\n${errors}")
  endif()
  string(REGEX MATCHALL "@@ *[A-Za-z_][A-Za-z0-9_]* *@@" marked "${expanded}")
  set(names)
  foreach(mark IN LISTS marked)
    string(REGEX REPLACE "[@ ]" "" name "${mark}")
    list(APPEND names ${name})
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "${EP_LIST} in ${EP_HEADER} names no entry point")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${EP_HEADER})
  set(${EP_OUT} ${names} PARENT_SCOPE)
endfunction()

# Writes the linker version script that exports NAMES and hides everything
# else; ORIGIN says which list they came from.
function(write_version_script path origin)
  list(JOIN ARGN ";\n    " globals)
  file(CONFIGURE OUTPUT ${path} CONTENT
    "/* Made by the build from ${origin}. */\n{\n  global:\n    ${globals};\n  local: *;\n};\n"
    @ONLY)
endfunction()

# Adds the test NAME: LIBRARY (a target) defines exactly NAMES among its dynamic symbols.
function(add_export_check name library)
  list(JOIN ARGN "," expected)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:${library}> -DEXPECTED=${expected}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
endfunction()
