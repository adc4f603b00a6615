# The installed game, laid out as Debian lays out games:
#   games/valimo, games/valimo-levels       the programs (VALIMO_INSTALL_GAMESDIR)
#   share/games/valimo/                      the shipped data (VALIMO_INSTALL_GAMEDATADIR)
#   share/applications, share/metainfo       desktop entry and AppStream metainfo
#   share/icons/hicolor/NxN/apps             the icon at every size
#   share/man/man6                           the manual pages
# The rest follows GNUInstallDirs, so a distribution's own CMake packaging
# moves any of it with the usual variables. Nothing refers to the prefix except
# the desktop entry's command, which is written when installing, so
# `cmake --install --prefix` and DESTDIR both hold.
include(GNUInstallDirs)
set(VALIMO_INSTALL_GAMESDIR games CACHE STRING "Where the programs go, under the prefix")
set(VALIMO_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/games/valimo CACHE STRING
    "Where the shipped data goes, under the prefix")
# The program finds its data from its own folder, by the way the two lie apart.
cmake_path(ABSOLUTE_PATH VALIMO_INSTALL_GAMESDIR BASE_DIRECTORY /prefix OUTPUT_VARIABLE games_full)
cmake_path(ABSOLUTE_PATH VALIMO_INSTALL_GAMEDATADIR BASE_DIRECTORY /prefix OUTPUT_VARIABLE data_full)
file(RELATIVE_PATH data_from_program ${games_full} ${data_full})
set_property(SOURCE platform/game_dir.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS VALIMO_DATA_FROM_PROGRAM="${data_from_program}")

set(VALIMO_APP_ID io.github.valimo.Valimo)
# One component, so that a scratch install (`--component valimo`: packages,
# tests) keeps its own manifest and `make uninstall` still finds the real one.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME valimo)

# What the installed tree adds beside the game folder: the theme's icons, and a
# prefs.dat with no players (the build's own may hold players by now).
set(DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)
set(DESKTOP_OUTPUTS ${DESKTOP_DIR}/prefs.dat)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND DESKTOP_OUTPUTS ${DESKTOP_DIR}/hicolor/${size}x${size}/apps/${VALIMO_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${DESKTOP_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DESKTOP_DIR}/hicolor ${DESKTOP_DIR}/prefs.dat
  COMMAND valimo-gen --desktop ${DESKTOP_DIR}
  DEPENDS valimo-gen
  COMMENT "Drawing the icons into ${DESKTOP_DIR}"
  VERBATIM)
add_custom_target(desktopdata ALL DEPENDS ${DESKTOP_OUTPUTS})

install(TARGETS valimo valimo-levels RUNTIME DESTINATION ${VALIMO_INSTALL_GAMESDIR})
install(DIRECTORY ${GAME_DIR}/ DESTINATION ${VALIMO_INSTALL_GAMEDATADIR}
  PATTERN valimo EXCLUDE
  PATTERN valimo.log EXCLUDE
  PATTERN valimo.lock EXCLUDE
  PATTERN prefs.dat EXCLUDE)
install(FILES ${DESKTOP_DIR}/prefs.dat DESTINATION ${VALIMO_INSTALL_GAMEDATADIR})
install(DIRECTORY ${DESKTOP_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES dist/${VALIMO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES dist/valimo.6 dist/valimo-levels.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# One configured copy per destination, so installs that run at once (the tests)
# never hand each other their entry.
install(CODE "
  set(games \"${VALIMO_INSTALL_GAMESDIR}\")
  cmake_path(ABSOLUTE_PATH games BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\")
  set(VALIMO_EXEC \"\${games}/valimo\")
  string(MD5 destination \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(entry \"${DESKTOP_DIR}/applications-\${destination}/${VALIMO_APP_ID}.desktop\")
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/${VALIMO_APP_ID}.desktop.in\" \"\${entry}\" @ONLY)
  set(data \"${CMAKE_INSTALL_DATADIR}\")
  cmake_path(ABSOLUTE_PATH data BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\")
  file(INSTALL DESTINATION \"\${data}/applications\" TYPE FILE FILES \"\${entry}\")
  file(REMOVE_RECURSE \"${DESKTOP_DIR}/applications-\${destination}\")
")
