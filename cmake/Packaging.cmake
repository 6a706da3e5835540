# Installation in the usual places and a Debian package built by CPack:
#   bin/Tenvaro, bin/tenvaro-pins
#   share/applications/tenvaro.desktop, tenvaro-pins.desktop
#   share/icons/hicolor/NxN/apps/tenvaro.png (the application's own 32 x 32
#     icon, and whole-multiple enlargements of it)
#   share/man/man1/Tenvaro.1.gz, tenvaro-pins.1.gz
include(GNUInstallDirs)
# cpack and "make install" take what the build made rather than first
# checking the whole tree (tests and benchmarks included) for changes:
# build, then install or package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
find_package(Qt6 REQUIRED COMPONENTS Gui)

set(TENVARO_ICON ${PROJECT_SOURCE_DIR}/app/MAINICON.png)
set(TENVARO_LARGE_ICON_SIZES 64 128 256)

install(TARGETS Tenvaro tenvaro-pins RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/tenvaro.desktop packaging/tenvaro-pins.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TENVARO_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME tenvaro.png)

add_executable(ScaleIcon packaging/ScaleIcon.cpp)
target_link_libraries(ScaleIcon PRIVATE Qt6::Gui)
set(large_icons)
foreach(size IN LISTS TENVARO_LARGE_ICON_SIZES)
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/tenvaro.png)
  add_custom_command(OUTPUT ${icon}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
                     COMMAND ScaleIcon ${TENVARO_ICON} ${icon} ${size}
                     DEPENDS ScaleIcon ${TENVARO_ICON}
                     COMMENT "Enlarging the icon to ${size}x${size}")
  list(APPEND large_icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian keeps manual pages compressed, without a time stamp in the gzip header.
set(man_pages)
foreach(page Tenvaro.1 tenvaro-pins.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}
                     COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
                     DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}
                     COMMENT "Compressing the manual page ${page}")
  list(APPEND man_pages ${compressed})
endforeach()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

add_custom_target(tenvaro_install_data ALL DEPENDS ${large_icons} ${man_pages})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tenvaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tenvaro maintainers <maintainers@tenvaro.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set the output lines of a PC parallel port by hand")
# The summary above is the first line; these lines follow it.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Tenvaro shows the eight data lines and four control lines of the parallel\n"
       "port at 0x378 as check boxes and radio buttons; a click sets the pin. It\n"
       "restores the port as it found it when closed. tenvaro-pins draws the\n"
       "port's DB-25 connector with every pin lit by its level, live.\n"
       "Without a port, both work on a simulated one kept in a small file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries (Qt 6 Widgets among them) come from dpkg-shlibdeps; the font
# is named here, since nothing links to it: the window's captions need a
# Japanese Gothic face, preferably the narrow one they were fitted to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-umeplus | fonts-ipafont-gothic")
# Qt's X11 platform plugin comes with libqt6gui6; these add themes and input.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
