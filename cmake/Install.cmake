# `cmake --install` puts the game, its data and a launcher in place so that
# it starts from any directory: the launcher runs the binary inside its data
# directory, where it finds "Resources/" and the font as it does in the tree.
include(GNUInstallDirs)

set(SKIRMORA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/skirmora)

install(TARGETS skirmora RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/skirmora)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Resources/ DESTINATION ${SKIRMORA_DATA_DIR}/Resources
        PATTERN "icons" EXCLUDE)
install(FILES "${PROJECT_SOURCE_DIR}/Cornerstone Regular.ttf"
              "${PROJECT_SOURCE_DIR}/Cornerstone Regular.LICENSE.txt"
        DESTINATION ${SKIRMORA_DATA_DIR})

# The launcher finds both from its own place, so the tree also works under a
# prefix chosen only at install time (`cmake --install build --prefix ...`).
file(RELATIVE_PATH SKIRMORA_LAUNCHER_TO_DATA ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/skirmora)
file(RELATIVE_PATH SKIRMORA_LAUNCHER_TO_BINARY ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/skirmora/skirmora)
configure_file(${PROJECT_SOURCE_DIR}/packaging/skirmora.in
               ${PROJECT_BINARY_DIR}/packaging/skirmora @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/skirmora DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/skirmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/Resources/icons/skirmora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps OPTIONAL)
