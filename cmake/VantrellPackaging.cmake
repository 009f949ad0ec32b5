# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build directory makes
# vantrell_<version>_<arch>.deb from the install rules. The library
# dependencies come from dpkg-shlibdeps; what the program loads at run time
# without linking it (fonts) is named here.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrell)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Vantrell developers")
set(CPACK_PACKAGE_CONTACT "The Vantrell developers <hello@vantrell.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cryptocurrency prices and alerts in the panel")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrell shows the price of one cryptocurrency in the panel, coloured by its\n24-hour change, with the whole watchlist one click away and a desktop\nnotification when a price alert fires.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrell.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The square price icon is drawn in DejaVu; Chinese texts want a CJK face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra, fonts-noto-cjk")

# Only what the install rules of the deliverables name; test helpers install nothing.
include(CPack)
