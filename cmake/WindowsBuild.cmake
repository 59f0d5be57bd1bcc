# The game built for Windows from the same sources by MinGW-w64, as a build of
# its own inside this one, and tested under Wine (tests/windows). On when the
# cross compilers are installed; the tests need Wine as well.
find_program(KESTROVE_MINGW64_CXX x86_64-w64-mingw32-g++-posix)
find_program(KESTROVE_MINGW32_CXX i686-w64-mingw32-g++-posix)
find_program(KESTROVE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
option(KESTROVE_WINDOWS "Build the game for Windows too, with MinGW-w64" ON)

# What the Windows builds make: the program, both libraries and the level tool;
# the one that is run under Wine makes the tests' programs too.
set(KESTROVE_WINDOWS_DELIVERABLES Kestrove game graph kestrove-levels)
set(KESTROVE_WINDOWS_TEST_PROGRAMS conf_tests game_tests engine_recording_tests file_roundtrip standin_xinput)

# Adds the Windows build for ARCH (x86_64 or i686) in windows-ARCH of the build
# tree, making the targets named after ARCH.
function(kestrove_add_windows_build arch)
  include(ExternalProject)
  ExternalProject_Add(windows-${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/windows-${arch}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
               -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
               -DKESTROVE_ICON=${KESTROVE_ICON_FILE}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${ARGN}
    INSTALL_COMMAND ""
    # Its own build decides what is out of date.
    BUILD_ALWAYS ON
    USES_TERMINAL_CONFIGURE ON
    USES_TERMINAL_BUILD ON)
  add_dependencies(windows-${arch} windows_icon)
endfunction()

set(KESTROVE_WINDOWS_X64_DIR "")
if(KESTROVE_WINDOWS AND KESTROVE_MINGW64_CXX)
  kestrove_add_windows_build(x86_64 ${KESTROVE_WINDOWS_DELIVERABLES} ${KESTROVE_WINDOWS_TEST_PROGRAMS})
  set(KESTROVE_WINDOWS_X64_DIR ${CMAKE_BINARY_DIR}/windows-x86_64)
endif()
# The 32-bit build is built, not run: Wine runs 32-bit programs only with its
# 32-bit half, which this system may lack.
if(KESTROVE_WINDOWS AND KESTROVE_MINGW32_CXX)
  kestrove_add_windows_build(i686 ${KESTROVE_WINDOWS_DELIVERABLES})
endif()

# The Windows zip, Kestrove-windows-x86_64.zip in the build tree: everything a
# player needs in one folder, made with every build (`--target windows_zip`
# makes it alone).
if(KESTROVE_WINDOWS_X64_DIR AND TARGET rundir)
  set(KESTROVE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/Kestrove-windows-x86_64.zip)
  set(dejavu_dir /usr/share/fonts/truetype/dejavu)
  find_program(KESTROVE_MINGW64_STRIP x86_64-w64-mingw32-strip REQUIRED)
  add_custom_target(windows_zip ALL
    COMMAND ${CMAKE_COMMAND} -DBIN_DIR=${KESTROVE_WINDOWS_X64_DIR}/bin -DRUN_DIR=${KESTROVE_RUN_DIR}
            -DFONT_DIR=${dejavu_dir} -DLICENSE=/usr/share/doc/fonts-dejavu-core/copyright
            -DREADME=${PROJECT_SOURCE_DIR}/data/windows/README.txt -DSTRIP=${KESTROVE_MINGW64_STRIP}
            -DSTAGE=${CMAKE_BINARY_DIR}/windows-package/Kestrove -DZIP=${KESTROVE_WINDOWS_ZIP}
            -P ${PROJECT_SOURCE_DIR}/cmake/MakeWindowsZip.cmake
    COMMENT "Packing ${KESTROVE_WINDOWS_ZIP}"
    VERBATIM)
  add_dependencies(windows_zip windows-x86_64 rundir)
endif()

# The Windows installer, Kestrove-setup-x86_64.exe in the build tree, packed by
# NSIS from the zip's folder (`--target windows_installer` makes it alone).
find_program(KESTROVE_MAKENSIS makensis)
if(TARGET windows_zip AND KESTROVE_MAKENSIS AND KESTROVE_ICON_FILE)
  set(KESTROVE_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/Kestrove-setup-x86_64.exe)
  add_custom_target(windows_installer ALL
    COMMAND ${CMAKE_COMMAND} -DMAKENSIS=${KESTROVE_MAKENSIS} -DNSI=${PROJECT_SOURCE_DIR}/data/windows/Kestrove.nsi
            -DSTAGE=${CMAKE_BINARY_DIR}/windows-package/Kestrove -DOUTFILE=${KESTROVE_WINDOWS_SETUP}
            -DVERSION=${PROJECT_VERSION} -DICON=${KESTROVE_ICON_FILE} -DWORK_DIR=${CMAKE_BINARY_DIR}/windows-installer
            -P ${PROJECT_SOURCE_DIR}/cmake/MakeWindowsInstaller.cmake
    COMMENT "Packing ${KESTROVE_WINDOWS_SETUP}"
    VERBATIM)
  add_dependencies(windows_installer windows_zip windows_icon)
endif()
