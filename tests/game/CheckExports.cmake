# Compares the dynamic symbols that LIBRARY defines with the 22 entry points.
set(expected
  GameDeInit GameGetCurrAngle GameGetFieldSize GameGetObjects GameGetPlayer GameGetRotateAngle
  GameGetState GameInit GameLoad GameLoadMap GameLoadMaps GameMovePlayer GameMovePlayerX
  GameNewGame GameNextLevel GameProcessPlayer GameProcessRotate GameRotate GameRoundCurrAngle
  GameSave GameSetFatalHandler GameSetState)
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "libgame.so exports\n  ${names}\ninstead of\n  ${expected}")
endif()
message(STATUS "libgame.so exports exactly the 22 entry points")
