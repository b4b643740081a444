# The Debian package, made by `cmake --build build --target package`:
# corvel-media-player_<version>_<arch>.deb, everything `cmake --install`
# installs under /usr plus the package's own copyright file and changelog.

set(CORVEL_PACKAGE_MAINTAINER
  "Corvel Media Player developers <maintainers@users.noreply.c-seed-87e870b5.example>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvel-media-player)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VENDOR "Corvel Media Player developers")
set(CPACK_PACKAGE_CONTACT ${CORVEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "media player with a file browser and play lists")
set(CPACK_PACKAGE_DESCRIPTION
  "Corvel Media Player plays audio and video files in one window. Files are\n"
  "picked in its built-in file browser, opened with the Open command, or\n"
  "gathered in a play list that is stepped through, saved and loaded as a\n"
  "text file and turned into a Windows Media play list. Playback is done by\n"
  "libmpv, and MIDI music is synthesised with FluidSynth.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})

# The install rules write absolute paths (the D-Bus service's Exec) from the
# prefix, so the package is staged with DESTDIR under its real prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# One package holding the ordinary install and the Debian-only documents.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME corvel-media-player)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CORVEL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binary; what it loads without linking does not:
# Qt's platform plugins and a General MIDI sound font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont | fluid-soundfont-gm, qt6-wayland")

include(CPack)
