# Lays out the Windows game in STAGE and packs it into ZIP: the program, its two
# DLLs and the level tool from BIN_DIR, the data staged in RUN_DIR, the DejaVu
# font from FONT_DIR with its licence LICENSE, and the players' README. STRIP,
# the target's strip, takes the debugging information out of the programs.
foreach(var BIN_DIR RUN_DIR FONT_DIR LICENSE README STRIP STAGE ZIP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeWindowsZip.cmake needs ${var}")
  endif()
endforeach()

# Copies the file's content (a link in the run directory brings what it points to).
function(copy_file_content from to)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "missing for the Windows zip: ${from}")
  endif()
  configure_file(${from} ${to} COPYONLY)
endfunction()

file(REMOVE_RECURSE ${STAGE})
foreach(name Kestrove.exe game.dll graph.dll kestrove-levels.exe)
  copy_file_content(${BIN_DIR}/${name} ${STAGE}/${name})
  execute_process(COMMAND ${STRIP} --strip-debug ${STAGE}/${name} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${STRIP} failed on ${name}")
  endif()
endforeach()
file(GLOB level_sets RELATIVE ${RUN_DIR} ${RUN_DIR}/*.lvl)
file(GLOB textures RELATIVE ${RUN_DIR} ${RUN_DIR}/textures/*)
file(GLOB sounds RELATIVE ${RUN_DIR} ${RUN_DIR}/sounds/*.wav)
foreach(name config.ini maps.ini ${level_sets} ${textures} ${sounds})
  copy_file_content(${RUN_DIR}/${name} ${STAGE}/${name})
endforeach()
foreach(name DejaVuSans.ttf DejaVuSans-Bold.ttf)
  copy_file_content(${FONT_DIR}/${name} ${STAGE}/fonts/${name})
endforeach()
copy_file_content(${LICENSE} ${STAGE}/fonts/LICENSE.txt)
copy_file_content(${README} ${STAGE}/README.txt)

get_filename_component(stage_parent ${STAGE} DIRECTORY)
get_filename_component(stage_name ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${stage_name}
                WORKING_DIRECTORY ${stage_parent} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not write ${ZIP}")
endif()
