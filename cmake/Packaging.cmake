# `cpack -G DEB` in the build folder: one package with both programs, the
# simulated radio, the service unit, the desktop entry, the icon, the
# metainfo and the man pages. Its library dependencies are found by
# dpkg-shlibdeps; the maintainer scripts make the service's user.
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR "Vantorel")
set(CPACK_PACKAGE_CONTACT "Vantorel maintainers <maintainers@vantorel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Run a Kenwood transceiver from a program that speaks Yaesu FT-950 CAT")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantorel sits between the serial CAT port of a Kenwood transceiver and up
to two station applications. It rewrites the commands of an application set
up for a Yaesu FT-950 into Kenwood commands and the radio's answers back, or
lets two applications share the radio's port, and ends a transmission that
runs past a time limit. The package holds the window program (vantorel), the
same bridge without a window for a system service (vantorel-nox, with the
systemd unit vantorel@.service) and a simulated Kenwood TS-590S
(vantorel-sim).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vantorel_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries: the maintainer scripts make the service's user.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/data/debian/postinst ${PROJECT_SOURCE_DIR}/data/debian/prerm
    ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
