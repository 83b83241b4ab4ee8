# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --build BUILD --target package` puts into the Debian package: the two programs
# (installed by src/app and src/cli), the menu entry, icon, file type, AppStream data, manual
# pages and the Debian copyright and changelog.
include(GNUInstallDirs)

set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/tavleplanner)

install(FILES ${pkg}/tavleplanner.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/tavleplanner-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tavleplanner.xml)
install(FILES ${pkg}/dk.tavleplanner.Tavleplanner.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pkg}/icons/tavleplanner.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${pkg}/icons/tavleplanner-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tavleplanner.png)
endforeach()
install(FILES ${pkg}/copyright DESTINATION ${docdir})

# Debian wants manual pages and the changelog compressed, without a name or time stamp in the
# gzip header so that two builds give the same bytes.
set(compressed)
foreach(source tavleplanner.1 tavleprint.1 changelog)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${pkg}/${source} > ${gz}
    DEPENDS ${pkg}/${source} VERBATIM)
  list(APPEND compressed ${gz})
endforeach()
add_custom_target(tavle_packaging_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tavleplanner.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/tavleprint.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavleplanner)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tavleplanner developers")
set(CPACK_PACKAGE_CONTACT "Tavleplanner <maintainers@tavleplanner.example>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: the fonts every text is laid out
# with, Qt's window-system plugins and Qt's own Danish texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"print tiles for the timetable board from a timetable export
Tavleplanner reads the lessons of a timetable exported as a semicolon-separated
text file and prints paper tiles (brikker) for a school's timetable board: one
tile per lesson, three copies each, with subject, teacher, class, room and
period, per teacher or per class. The tile sheets can be previewed, printed,
saved as a report file or exported as PDF, Excel workbook or HTML.
.
The command-line tool tavleprint does the same without a window.")
include(CPack)
