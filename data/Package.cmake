# The Debian package, built by `cpack -G DEB` in a configured build folder from what the
# install rules put in place. Its library dependencies come from dpkg-shlibdeps; the rest
# are what the program needs at run time but does not link: adb (every phone operation runs
# it), the SVG plugins (the icons are SVG) and the icon theme the window's symbols come from.
set(TESSARY_MAINTAINER "Quorvane <tessary@quorvane.com>" CACHE STRING "The package's Maintainer field")
set(TESSARY_HOMEPAGE "https://quorvane.com/tessary" CACHE STRING "The package's Homepage field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_CONTACT ${TESSARY_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copy and move files between this computer and an Android phone")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tessary is a file manager for Android phones. One window shows a folder\n"
  "of this computer beside a storage volume of the phone; files and folders\n"
  "are copied or moved either way through a transfer list that shows the\n"
  "progress, the speed and the time left of each.\n"
  "\n"
  "It also installs APK packages, takes screenshots of the phone screen,\n"
  "backs up new camera photos and connects phones over Wi-Fi. Every phone\n"
  "operation is one run of adb.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSARY_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TESSARY_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adb, libqt6svg6, adwaita-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
