# One library per source folder, holding every .cpp/.h/.ui file in it. A folder lists the
# libraries it may use; including a header from a folder above it then fails to link. A file
# named *_win.cpp is built for Windows only, one named *_posix.cpp everywhere else.
function(tavle_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;FOLDERS" ${ARGN})
  set(sources)
  foreach(folder . ${ARG_FOLDERS}) # the folder's own files, and those of the subfolders named
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.ui)
    list(APPEND sources ${found})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else() # a folder that holds no code yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# One test program per *_test.cpp file of the calling tests folder, registered with ctest.
# Widget tests run headless.
function(tavle_folder_tests)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  # The folder's own support, built once for all its tests.
  set(folder_support "")
  if(support)
    set(folder_support ${folder}_testsupport)
    add_library(${folder_support} STATIC ${support})
    target_link_libraries(${folder_support} PUBLIC ${ARG_DEPENDS} GTest::gtest GTest::gmock
                          tavle_testmain)
    target_compile_definitions(${folder_support} PRIVATE
      TAVLE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TAVLE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  endif()
  foreach(test ${tests})
    get_filename_component(base ${test} NAME_WE)
    set(target ${folder}_${base})
    add_executable(${target} ${test})
    tavle_windows_program(${target})
    target_link_libraries(${target} PRIVATE ${folder_support} ${ARG_DEPENDS} GTest::gtest
                          GTest::gmock tavle_testmain)
    target_compile_definitions(${target} PRIVATE
      TAVLE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TAVLE_BINARY_DIR="${PROJECT_BINARY_DIR}")
    # Tests that print on the CUPS test queues read the queue's one output file: one at a time.
    file(READ ${test} source)
    set(lock "")
    if(source MATCHES "tavle-pdf|tavle-margins|tavle-shift")
      set(lock RESOURCE_LOCK cups-test-queues)
    endif()
    # Under Wine no case takes more than seconds; one that hangs there (seen once, in a program
    # just started beside Wine's own start-up) is given up soon, and CI runs it again.
    set(timeout 600)
    if(WIN32 AND CMAKE_CROSSCOMPILING)
      set(timeout 120)
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${folder}."
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${timeout} ${lock})
  endforeach()
endfunction()

# What a program needs beside it on Windows: the Liberation fonts, which it loads from its own
# folder, Qt's Danish texts in translations/ (a static Qt looks for them under the build
# machine's prefix) and the offscreen platform (tavleprint and the tests draw with no screen; a
# static Qt brings only the Windows one by itself). Elsewhere nothing.
set(TAVLE_FONT_SOURCE_DIR /usr/share/fonts/truetype/liberation2 CACHE PATH
    "The Liberation Sans files (Debian package fonts-liberation2)")
set(TAVLE_QT_TRANSLATIONS_DIR /usr/share/qt6/translations CACHE PATH
    "Qt's Danish texts qtbase_da.qm (Debian package qt6-translations-l10n)")
function(tavle_windows_program target)
  if(NOT WIN32)
    return()
  endif()
  qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  get_target_property(folder ${target} BINARY_DIR)
  file(GLOB fonts ${TAVLE_FONT_SOURCE_DIR}/LiberationSans-*.ttf)
  file(COPY ${fonts} DESTINATION ${folder})
  file(COPY ${TAVLE_QT_TRANSLATIONS_DIR}/qtbase_da.qm DESTINATION ${folder}/translations)
endfunction()

# The version, the Danish description and the program's icon in a Windows program's file
# (Explorer's properties and the file type's icon). Elsewhere nothing.
function(tavle_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(TAVLE_RC_NAME ${target})
  set(TAVLE_RC_DESCRIPTION "${description}")
  set(TAVLE_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/tavleplanner.ico)
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(TAVLE_RC_${part} ${PROJECT_VERSION_${part}})
    if(NOT TAVLE_RC_${part})
      set(TAVLE_RC_${part} 0)
    endif()
  endforeach()
  get_target_property(folder ${target} BINARY_DIR)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${folder}/${target}.rc
                 @ONLY)
  target_sources(${target} PRIVATE ${folder}/${target}.rc)
  set_source_files_properties(${folder}/${target}.rc PROPERTIES OBJECT_DEPENDS ${TAVLE_RC_ICON})
endfunction()
