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

# Makes the shared library TARGET export NAMES and nothing else: a linker
# version script on ELF systems, a module-definition file for a Windows DLL
# (named without MinGW's "lib" prefix, as the program loads it). ORIGIN says
# which list the names came from.
function(export_only_entry_points target origin)
  list(JOIN ARGN ";\n    " globals)
  if(WIN32)
    set(path ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
    list(JOIN ARGN "\n  " exports)
    file(CONFIGURE OUTPUT ${path} CONTENT
      "; Made by the build from ${origin}.\nLIBRARY ${target}.dll\nEXPORTS\n  ${exports}\n" @ONLY)
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_sources(${target} PRIVATE ${path})
  else()
    set(path ${CMAKE_CURRENT_BINARY_DIR}/exports.map)
    file(CONFIGURE OUTPUT ${path} CONTENT
      "/* Made by the build from ${origin}. */\n{\n  global:\n    ${globals};\n  local: *;\n};\n"
      @ONLY)
    target_link_options(${target} PRIVATE -Wl,--version-script=${path})
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${path})
endfunction()

# Adds the test NAME: LIBRARY (a target, or a DLL's path with OBJDUMP the
# target's objdump that reads it) defines exactly NAMES among its exports.
function(add_export_check name library)
  cmake_parse_arguments(EC "" "OBJDUMP" "" ${ARGN})
  set(file ${library})
  if(TARGET ${library})
    set(file $<TARGET_FILE:${library}>)
  endif()
  list(JOIN EC_UNPARSED_ARGUMENTS "," expected)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=${file} -DEXPECTED=${expected} -DOBJDUMP=${EC_OBJDUMP}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
endfunction()
