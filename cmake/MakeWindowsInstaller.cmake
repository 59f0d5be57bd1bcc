# Builds the Windows installer OUTFILE with MAKENSIS from NSI, installing every
# file of STAGE (the folder the zip is packed from). The installer's lists of
# files to install and to remove are written from STAGE into WORK_DIR, so that
# the uninstaller removes exactly what was installed. VERSION and ICON go to NSI.
foreach(var MAKENSIS NSI STAGE OUTFILE VERSION ICON WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeWindowsInstaller.cmake needs ${var}")
  endif()
endforeach()

file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(dirs "")
set(install "!macro INSTALL_FILES\n")
set(uninstall "!macro UNINSTALL_FILES\n")
set(size 0)
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" win "${file}")
  get_filename_component(dir "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windir "${dir}")
  set(outpath "$INSTDIR")
  if(dir)
    set(outpath "$INSTDIR\\${windir}")
  endif()
  string(APPEND install "  SetOutPath \"${outpath}\"\n  File \"/oname=$INSTDIR\\${win}\" \"${STAGE}/${file}\"\n")
  string(APPEND uninstall "  Delete \"$INSTDIR\\${win}\"\n")
  if(dir)
    list(APPEND dirs "${windir}")
  endif()
  file(SIZE ${STAGE}/${file} bytes)
  math(EXPR size "${size} + ${bytes}")
endforeach()
string(APPEND install "  SetOutPath \"$INSTDIR\"\n!macroend\n")
list(REMOVE_DUPLICATES dirs)
list(SORT dirs ORDER DESCENDING)  # inner folders before the ones that hold them
foreach(dir IN LISTS dirs)
  string(APPEND uninstall "  RMDir \"$INSTDIR\\${dir}\"\n")
endforeach()
string(APPEND uninstall "!macroend\n")
math(EXPR size_kb "(${size} + 1023) / 1024")
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/files.nsh "${install}${uninstall}")

execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DICON=${ICON}
                        -DOUTFILE=${OUTFILE} -DFILES=${WORK_DIR}/files.nsh -DSIZE_KB=${size_kb} ${NSI}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "makensis could not build ${OUTFILE}")
endif()
