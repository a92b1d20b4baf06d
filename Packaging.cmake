# What `cmake --install` puts where, and the Debian package made of it.
# packaging/install-manifest.txt lists every installed file; the install test
# and scripts/package both hold the tree to it.

# The desktop's menu entry, file types, icons and man pages are for the
# freedesktop systems; Windows gets the program files, the manual and the demo.
if(NOT WIN32)
  install(FILES packaging/kelvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/kelvane-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kelvane.xml)
  install(FILES packaging/kelvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16x16 32x32 48x48 64x64 128x128 256x256)
    install(FILES packaging/icons/${size}/kelvane.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
  endforeach()
  install(FILES packaging/kelvane.1 packaging/kelvane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(DIRECTORY docs/manual/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvane/manual)
install(DIRECTORY examples/demo-project/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvane/demo-project)

if(WIN32)
  # A folder to unpack anywhere; an installer too where NSIS is installed.
  set(CPACK_GENERATOR ZIP)
  find_program(KELVANE_MAKENSIS makensis)
  if(KELVANE_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
    set(CPACK_NSIS_DISPLAY_NAME "Kelvane")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "Kelvane")
    set(CPACK_PACKAGE_EXECUTABLES kelvane "Kelvane")
  endif()
else()
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelvane")
set(CPACK_PACKAGE_CONTACT "Kelvane developers <developers@kelvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuning assistant for LH-Jetronic fuel and EZK ignition maps")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kelvane plots the samples of a tuning device's drive logs over the 16 x 16 fuel\n and ignition map grids, coloured by their air/fuel ratio, gathers per-cell\n statistics and computes adjusted fuel and ignition maps. kelvane-cli does the\n same reading and adjusting from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the platform plugins are loaded at
# run time, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
