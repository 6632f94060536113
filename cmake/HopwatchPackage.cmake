# hopwatch-console as an installable program: `cmake --install` puts the program and its manual
# page under the prefix, and CPack makes a Debian package of exactly those two files.
include(GNUInstallDirs)

# The manual page, compressed as Debian installs them.
set(HOPWATCH_MANPAGE ${CMAKE_BINARY_DIR}/hopwatch-console.1.gz)
add_custom_command(
    OUTPUT ${HOPWATCH_MANPAGE}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/hopwatch-console.1 > ${HOPWATCH_MANPAGE}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/hopwatch-console.1
    COMMENT "Compressing the manual page")
add_custom_target(hopwatch_manpage ALL DEPENDS ${HOPWATCH_MANPAGE})

install(TARGETS hopwatch-console RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${HOPWATCH_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hopwatch-console)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Hopwatch developers <hopwatch@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch every hop of a route from the terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "hopwatch-console probes every hop of a route with ICMP echo requests of growing\n"
    "time-to-live and shows each hop's loss, round-trip times, spread and jitter as a\n"
    "table, CSV or JSON. It marks loss that only a router's own replies show.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# libc6 and libstdc++6 only, as dpkg-shlibdeps finds them (libgcc is linked in statically).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setcap, for the capability that the installation gives where datagram sockets are not allowed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libcap2-bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
