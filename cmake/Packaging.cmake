# The Debian package (scripts/package): what `cmake --install` installs, laid
# out under /usr, with its dependencies worked out from the programs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorelle2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the Vorelle weather-station console")
# CPack puts the summary first and indents these paragraphs as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vorelle 2 shows the live readings of a Vorelle home weather-station console
plugged in by USB (temperatures, humidity, pressure, wind, rain, light, UV,
soil moisture, PM2.5 and up to eight extra channels) and reads and changes
the console's settings. vorelle2-cli reads the console from a terminal, and
its serve command owns the console without a desktop (the systemd user unit
vorelle2.service, not enabled) and publishes its readings over MQTT.

A udev rule gives the user at the seat access to the console without root.")
set(VORELLE2_PACKAGE_MAINTAINER "Vorelle 2 developers <vorelle2@example.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${VORELLE2_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

# The libraries come from dpkg-shlibdeps; what the programs need without
# linking it: the fonts the board is measured with and the menus are drawn
# in, and the certificates an https update server is checked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, ca-certificates")

# One script is both postinst and postrm: it tells a running udev that the
# console's rule came or went.
set(maintainer_scripts ${CMAKE_CURRENT_BINARY_DIR}/deb)
foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/res/deb/apply-udev-rule ${maintainer_scripts}/${script} COPYONLY)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${maintainer_scripts}/postinst ${maintainer_scripts}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
