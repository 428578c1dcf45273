# The Debian package (scripts/package): what `cmake --install` installs, under /usr, with its
# library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Brismo Audio")
set(CPACK_PACKAGE_CONTACT "Vantrel maintainers <vantrel@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sort a recording session's tracks into groups for mixing")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vantrel reads the file names of a folder of multitrack recordings, sorts every track into a "
    "rule group, numbers the tracks of each group in session order and proposes clean names; "
    "then it makes a sorted copy of the folder or organizes it in place, with a journal to put "
    "the files back. vantrel-cli does the same from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the Wayland platform plugin (without it
# the window goes through X11, whose plugin comes with Qt's GUI library) and a font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-wayland, hicolor-icon-theme, fonts-inter, fonts-dejavu-core")
# Ardour's session tool makes the done screen's "Open In" Ardour session and export-session
# --to ardour; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ardour")
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(CPACK_STRIP_FILES ON)
endif()
include(CPack)
