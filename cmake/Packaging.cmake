# A Debian package of the installed files: `cpack -G DEB` in the build folder, or scripts/package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavrel)
set(CPACK_PACKAGE_VENDOR Kavrel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps track of an organisation's equipment across its locations")
set(CPACK_PACKAGE_DESCRIPTION
    "Kavrel keeps track of an organisation's equipment, chiefly computers, across its locations. One workstation keeps its data in files of its own; several share a PostgreSQL server.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kavrel developers <kavrel@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps finds the libraries the program links; the plugins Qt loads at run time it cannot see: the
# database drivers and the platform plugin that draws on the desktop. A server stays the organisation's choice.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins")
# Attachments open in the desktop's own programs; labels are set in DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
include(CPack)
