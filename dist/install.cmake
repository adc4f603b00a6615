# The installed game, laid out as Debian lays out games:
#   games/valimo, games/valimo-levels       the programs
#   share/games/valimo/                      the shipped data, found from ../share/games/valimo
#   share/applications, share/metainfo       desktop entry and AppStream metainfo
#   share/icons/hicolor/NxN/apps             the icon at every size
#   share/man/man6                           the manual pages
# Nothing refers to the prefix except the desktop entry's command, which is
# written when installing, so `cmake --install --prefix` and DESTDIR both hold.
set(VALIMO_APP_ID io.github.valimo.Valimo)
set(VALIMO_DATA_DEST share/games/valimo)
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

install(TARGETS valimo valimo-levels RUNTIME DESTINATION games)
install(DIRECTORY ${GAME_DIR}/ DESTINATION ${VALIMO_DATA_DEST}
  PATTERN valimo EXCLUDE
  PATTERN valimo.log EXCLUDE
  PATTERN prefs.dat EXCLUDE)
install(FILES ${DESKTOP_DIR}/prefs.dat DESTINATION ${VALIMO_DATA_DEST})
install(DIRECTORY ${DESKTOP_DIR}/hicolor DESTINATION share/icons)
install(FILES dist/${VALIMO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES dist/valimo.6 dist/valimo-levels.6 DESTINATION share/man/man6)
# One configured copy per destination, so installs that run at once (the tests)
# never hand each other their entry.
install(CODE "
  set(VALIMO_EXEC \"\${CMAKE_INSTALL_PREFIX}/games/valimo\")
  string(MD5 destination \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(entry \"${DESKTOP_DIR}/applications-\${destination}/${VALIMO_APP_ID}.desktop\")
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/${VALIMO_APP_ID}.desktop.in\" \"\${entry}\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\" TYPE FILE FILES \"\${entry}\")
  file(REMOVE_RECURSE \"${DESKTOP_DIR}/applications-\${destination}\")
")
