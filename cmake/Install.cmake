# Installing both programs as a desktop application (cmake --install) and packing
# them as a Debian package (scripts/package: cpack -G DEB).
#
# Layout under the prefix: bin/ holds both programs; share/deruzizazarurid/ the
# maker's page, which the tool finds as ../share/deruzizazarurid from its own folder.
include(GNUInstallDirs)
find_package(Qt6 REQUIRED COMPONENTS Svg)

set(DZ_ICON_NAME org.tovane.DeruziZazaRurid)
set(DZ_ICON_ROOT ${CMAKE_BINARY_DIR}/share/icons)
set(DZ_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/deruzizazarurid)

# The hicolor icons are drawn at build time by the code behind the window icon.
add_executable(dz_write_icons tools/WriteIcons.cpp)
target_link_libraries(dz_write_icons PRIVATE dz_about Qt6::Svg)
set_target_properties(dz_write_icons PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
add_custom_command(OUTPUT ${DZ_ICON_ROOT}/hicolor/scalable/apps/${DZ_ICON_NAME}.svg
                   COMMAND ${CMAKE_COMMAND} -E rm -rf ${DZ_ICON_ROOT}/hicolor
                   COMMAND dz_write_icons ${DZ_ICON_ROOT} ${DZ_ICON_NAME}
                   DEPENDS dz_write_icons
                   COMMENT "Drawing the hicolor icons")
# Debian wants the changelog and manual pages compressed at the highest level,
# without a time stamp.
set(DZ_GZIPPED)
foreach(source cmake/debian/changelog share/man/deruzizazarurid.1 share/man/kernova.1)
  get_filename_component(name ${source} NAME)
  set(gzipped ${CMAKE_BINARY_DIR}/debian/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/${source} > ${gzipped}
                     DEPENDS ${CMAKE_SOURCE_DIR}/${source})
  list(APPEND DZ_GZIPPED ${gzipped})
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/debian)
add_custom_target(dz_install_data ALL DEPENDS ${DZ_ICON_ROOT}/hicolor/scalable/apps/${DZ_ICON_NAME}.svg
                                              ${DZ_GZIPPED})

install(TARGETS deruzizazarurid kernova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES share/applications/org.tovane.DeruziZazaRurid.desktop share/applications/org.tovane.Kernova.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES share/metainfo/org.tovane.DeruziZazaRurid.metainfo.xml share/metainfo/org.tovane.Kernova.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${DZ_ICON_ROOT}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES share/deruzizazarurid/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/deruzizazarurid)
install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${DZ_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/debian/deruzizazarurid.1.gz ${CMAKE_BINARY_DIR}/debian/kernova.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The bus starts kernova by its full path, known only when installing (the prefix
# may be given to cmake --install, and cpack installs to /usr).
install(CODE "
  set(DZ_KERNOVA_PATH \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kernova\")
  configure_file(\"${CMAKE_SOURCE_DIR}/share/dbus-1/services/Kernova.Application.service.in\"
                 \"${CMAKE_BINARY_DIR}/debian/Kernova.Application.service\" @ONLY)
  file(INSTALL \"${CMAKE_BINARY_DIR}/debian/Kernova.Application.service\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services\")
")

# The Debian package: library dependencies from dpkg-shlibdeps, the guide's fonts
# named here. Installed under /usr through DESTDIR, so the paths written while
# installing (the bus service's Exec) are the package's own.
set(CPACK_PACKAGE_NAME deruzizazarurid)
set(CPACK_PACKAGE_VENDOR "tovane atelier")
set(CPACK_PACKAGE_CONTACT "tovane atelier <atelier@tovane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "brush-lettering font tool with the Kernova font editor")
set(CPACK_PACKAGE_DESCRIPTION "A desktop tool for making a brush-lettering TrueType font by hand,
one character at a time, with a pen tablet or the mouse, over a guide
drawn from any installed font. Each character is sent to Kernova, the
bundled font editor, which traces it into a glyph and saves the font.
Kernova can be driven by any program over the session bus.")
# cpack installs what scripts/package built, without building the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "default-dbus-session-bus | dbus-session-bus")
include(CPack)

if(BUILD_TESTING)
  add_subdirectory(tests/install)
endif()
