# The Windows installer (target tavle_installer, ./run windows-package): the two programs
# stripped of their debug information, with their fonts, Qt's Danish texts, the F1 guide and the
# licence, packed by NSIS into Tavleplanner-<version>-win64-setup.exe in the build folder
# (packaging/windows/tavleplanner.nsi says what it installs).
find_program(TAVLE_MAKENSIS makensis)
if(NOT TAVLE_MAKENSIS)
  message(STATUS "makensis not found (Debian package nsis): no Windows installer")
  return()
endif()

set(TAVLE_SETUP ${PROJECT_BINARY_DIR}/Tavleplanner-${PROJECT_VERSION}-win64-setup.exe)
set(stage ${PROJECT_BINARY_DIR}/installer)
set(nsi ${PROJECT_SOURCE_DIR}/packaging/windows/tavleplanner.nsi)
set(version4 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
if(PROJECT_VERSION_PATCH)
  set(version4 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
endif()
add_custom_command(OUTPUT ${TAVLE_SETUP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_STRIP} -o ${stage}/tavleplanner.exe $<TARGET_FILE:tavleplanner>
  COMMAND ${CMAKE_STRIP} -o ${stage}/tavleprint.exe $<TARGET_FILE:tavleprint>
  COMMAND ${TAVLE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DVERSION4=${version4}
          -DSTAGE=${stage} -DBUILD=${PROJECT_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
          -DQTDA=${TAVLE_QT_TRANSLATIONS_DIR}/qtbase_da.qm -DOUTFILE=${TAVLE_SETUP} ${nsi}
  DEPENDS tavleplanner tavleprint tavle_user_guide ${nsi} ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/packaging/icons/tavleplanner.ico
  COMMENT "Making the Windows installer ${TAVLE_SETUP}"
  VERBATIM)
add_custom_target(tavle_installer DEPENDS ${TAVLE_SETUP})

# Installed and uninstalled under Wine, in a Windows of the test's own.
if(CMAKE_CROSSCOMPILING AND TAVLE_WINE)
  add_test(NAME packaging.WindowsInstaller
    COMMAND ${PROJECT_SOURCE_DIR}/.ci/windows-installer-check ${PROJECT_BINARY_DIR} ${TAVLE_WINE}
            ${PROJECT_SOURCE_DIR}/examples/skema.csv)
  set_tests_properties(packaging.WindowsInstaller PROPERTIES TIMEOUT 900)
endif()
