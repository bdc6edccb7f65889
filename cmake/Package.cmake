# `cpack -G DEB` in the build directory makes a Debian package of the
# Debian layout (the `debian` component of cmake/Install.cmake), so the same
# build serves a plain install and the package.
set(CPACK_PACKAGE_NAME skirmora)
set(CPACK_PACKAGE_VENDOR "Skirmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player platform brawler on one shared keyboard")
set(CPACK_PACKAGE_DESCRIPTION "Two people share one keyboard, or play with two gamepads, and knock each
other out of the arena: six fighters, four levels, 120-second rounds.")
set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package carries no debug information; the build keeps it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The project has no mail domain of its own: a no-reply address in the
# domain reserved for names that never resolve.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Skirmora developers <noreply@skirmora.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library packages come from what the binary links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
