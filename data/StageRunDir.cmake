# Stages a directory the game runs in: the program, the bundled data and the packed
# levels. Run as a script:
#   cmake -DRUN_DIR=... -DDATA_DIR=... -DLEVELS_DIR=... [-DPROGRAM=...] [-DSOUNDS_DIR=...] -P StageRunDir.cmake
# SOUNDS_DIR: the generated sounds, staged as sounds/.
# The run directory belongs to the player once it exists: a config.ini already
# there (with the settings applied in the game) and the saves are never replaced.
foreach(var RUN_DIR DATA_DIR LEVELS_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "StageRunDir: ${var} is not set")
  endif()
endforeach()

file(MAKE_DIRECTORY "${RUN_DIR}")

if(PROGRAM AND EXISTS "${PROGRAM}")
  # A link: the program keeps finding its libraries through its own rpath.
  file(CREATE_LINK "${PROGRAM}" "${RUN_DIR}/Kestrove" SYMBOLIC)
endif()

file(GLOB existing_config LIST_DIRECTORIES false "${RUN_DIR}/[Cc][Oo][Nn][Ff][Ii][Gg].[Ii][Nn][Ii]")
if(NOT existing_config)
  file(COPY "${DATA_DIR}/config.ini" DESTINATION "${RUN_DIR}")
endif()

if(EXISTS "${DATA_DIR}/maps.ini")
  file(COPY "${DATA_DIR}/maps.ini" DESTINATION "${RUN_DIR}")
endif()

file(GLOB levels LIST_DIRECTORIES false "${LEVELS_DIR}/*.lvl")
if(levels)
  file(COPY ${levels} DESTINATION "${RUN_DIR}")
endif()

foreach(dir textures fonts)
  if(IS_DIRECTORY "${DATA_DIR}/${dir}")
    file(COPY "${DATA_DIR}/${dir}" DESTINATION "${RUN_DIR}")
  endif()
endforeach()

if(SOUNDS_DIR AND IS_DIRECTORY "${SOUNDS_DIR}")
  file(GLOB sounds LIST_DIRECTORIES false "${SOUNDS_DIR}/*.wav")
  file(COPY ${sounds} DESTINATION "${RUN_DIR}/sounds")
endif()
