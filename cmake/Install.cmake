# `cmake --install` puts the game, its data and a launcher in place so that
# it starts from any directory: the launcher runs the binary inside its data
# directory, where it finds "Resources/" and the font as it does in the tree.
include(GNUInstallDirs)

# The manual page and the Debian changelog are installed gzipped, as Debian
# wants them; -n keeps the name and time out, so the bytes follow the text.
find_program(SKIRMORA_GZIP gzip REQUIRED)
foreach(doc skirmora.6 changelog)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${doc} ${PROJECT_BINARY_DIR}/packaging/${doc}
    COMMAND ${SKIRMORA_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/${doc}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc} VERBATIM)
endforeach()
add_custom_target(skirmora_docs ALL
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/skirmora.6.gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

# One complete installation under the prefix, as the component `name`: the
# launcher in `bin_dir`, the binary in `program_dir`, the data in `data_dir`.
# Further arguments go to every rule (EXCLUDE_FROM_ALL).
function(skirmora_install_layout name bin_dir program_dir data_dir)
  set(rule COMPONENT ${name} ${ARGN})
  install(TARGETS skirmora RUNTIME DESTINATION ${program_dir} ${rule})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/Resources/ DESTINATION ${data_dir}/Resources ${rule}
          PATTERN "icons" EXCLUDE)
  install(FILES "${PROJECT_SOURCE_DIR}/Cornerstone Regular.ttf"
                "${PROJECT_SOURCE_DIR}/Cornerstone Regular.LICENSE.txt"
          DESTINATION ${data_dir} ${rule})

  # The launcher finds both from its own place, so the tree also works under
  # a prefix chosen only at install time (`cmake --install build --prefix
  # ...`) and inside a package unpacked anywhere.
  foreach(dir bin_dir program_dir data_dir)
    get_filename_component(full_${dir} ${${dir}} ABSOLUTE BASE_DIR ${CMAKE_INSTALL_PREFIX})
  endforeach()
  file(RELATIVE_PATH SKIRMORA_LAUNCHER_TO_DATA ${full_bin_dir} ${full_data_dir})
  file(RELATIVE_PATH SKIRMORA_LAUNCHER_TO_BINARY ${full_bin_dir} ${full_program_dir}/skirmora)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/skirmora.in
                 ${PROJECT_BINARY_DIR}/packaging/${name}/skirmora @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/${name}/skirmora DESTINATION ${bin_dir} ${rule})

  install(FILES ${PROJECT_SOURCE_DIR}/packaging/skirmora.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications ${rule})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/localhost.skirmora.skirmora.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo ${rule})
  install(FILES ${PROJECT_SOURCE_DIR}/Resources/icons/skirmora.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps ${rule})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/skirmora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 ${rule})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skirmora ${rule})
endfunction()

# The plain installation: the usual GNU directories.
skirmora_install_layout(gnu ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBEXECDIR}/skirmora
                        ${CMAKE_INSTALL_DATADIR}/skirmora)

# Debian puts games apart (/usr/games, /usr/lib/games, /usr/share/games).
# Only asked for by name, as the Debian package does (cmake/Package.cmake),
# or by `cmake --install build --component debian`, so the same build gives
# both and a plain install stays as it was.
skirmora_install_layout(debian games lib/games/skirmora share/games/skirmora EXCLUDE_FROM_ALL)
