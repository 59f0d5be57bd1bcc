# Reads the rules library's entry-point names out of GAME_ENTRY_POINTS in
# game.h. The C preprocessor expands the list, so what the build exports and
# wraps is exactly what the compiler declares. Editing game.h reconfigures.
function(game_entry_point_names header_dir out_var)
  set(probe ${CMAKE_CURRENT_BINARY_DIR}/EntryPointNames.c)
  file(WRITE ${probe}
    "#include \"game.h\"\n"
    "#define GAME_ENTRY_POINT_NAME(Name, Result, Params, Args, Contract) @@ Name @@\n"
    "GAME_ENTRY_POINTS(GAME_ENTRY_POINT_NAME)\n")
  execute_process(
    COMMAND ${CMAKE_C_COMPILER} -E -P -I${header_dir} ${probe}
    OUTPUT_VARIABLE expanded ERROR_VARIABLE errors RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Cannot expand GAME_ENTRY_POINTS in ${header_dir}/game.h:\n${errors}")
  endif()
  string(REGEX MATCHALL "@@ *[A-Za-z_][A-Za-z0-9_]* *@@" marked "${expanded}")
  set(names)
  foreach(mark IN LISTS marked)
    string(REGEX REPLACE "[@ ]" "" name "${mark}")
    list(APPEND names ${name})
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "GAME_ENTRY_POINTS in ${header_dir}/game.h names no entry point")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header_dir}/game.h)
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Writes the module-definition file that makes game.dll export NAMES and nothing else.
function(game_write_def_file path)
  list(JOIN ARGN "\n  " exports)
  file(CONFIGURE OUTPUT ${path} CONTENT
    "; Made by the build from GAME_ENTRY_POINTS in game.h.\nLIBRARY game.dll\nEXPORTS\n  ${exports}\n"
    @ONLY)
endfunction()

# Writes the linker version script that exports NAMES and hides everything else.
function(game_write_version_script path)
  list(JOIN ARGN ";\n    " globals)
  file(CONFIGURE OUTPUT ${path} CONTENT
    "/* Made by the build from GAME_ENTRY_POINTS in game.h. */\n{\n  global:\n    ${globals};\n  local: *;\n};\n"
    @ONLY)
endfunction()
