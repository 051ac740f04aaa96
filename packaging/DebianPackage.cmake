# The Debian package zor2-tools_VERSION_amd64.deb, made by CPack from the install rules
# (scripts/package builds it from a Release tree with Debian's build flags).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zor2-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZOR2 tools developers <zor2-tools@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripSections.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "curve converter and firmware loader for ZOR measuring devices")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The extended description below the synopsis; CPack indents it and marks the empty lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Two desktop tools for the ZOR family of PC-driven sweep generators and
network analysers, with German user texts and a command-line mode each.

zor2conv converts the old two-channel sweep-curve files (.hfd) into curve
files of the new one-curve format (.z2k); opening an old curve file on the
desktop shows it in the converter.

ZOR2fwloader finds the device on the serial ports, checks an Intel HEX
firmware file against its processor and writes it into the device's flash.
zor2devsim simulates the device on a pseudo-terminal.")
# Libraries as dpkg-shlibdeps finds them; the windows also need Qt's platform plugins, which
# no program links directly, and Qt's own translations for its dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
