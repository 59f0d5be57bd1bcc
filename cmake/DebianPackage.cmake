# `cpack -G DEB` (or the `package` target) makes kestrove_<version>_amd64.deb
# from the install rules: the player's part only, not the level tools.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrove)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kestrove developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D box-pushing puzzle game")
set(CPACK_PACKAGE_DESCRIPTION
    "Steer the figure over a floor of square cells and push every box onto a
destination. Boxes pushed into water fill it and open the way. The view
follows the figure and turns in quarter turns, and the movement keys follow
the view. Three level sets come with the game; steps can be undone, and the
game can be saved and loaded.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTROVE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the game's own libraries beside the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${KESTROVE_INSTALL_PROGRAMDIR})
# SDL opens libGL itself at run time, so no binary names it; the text falls back
# to a built-in bitmap font without DejaVu.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian keeps the commands of games in /usr/games; the command finds the rest
# through paths relative to its folder, the same from games/ as from bin/.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianGamesDir.cmake)
include(CPack)
