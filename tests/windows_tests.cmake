# The tests of the Windows build beyond the suites, run on the build
# machine with the Windows programs under Wine.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 wine_run)
list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 wine_prefix)

# pixtrel-extract.exe and pixtrel-mkfont.exe write what the Linux build's
# programs write.
set(wenquanyi /usr/share/fonts/truetype/wqy/wqy-microhei.ttc)
add_test(NAME WindowsExtract
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_extract_test.sh ${wine_run} ${wine_prefix}
          ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PIXTREL_HOST_TOOLS} ${PROJECT_SOURCE_DIR}/samples ${wenquanyi})
set_tests_properties(WindowsExtract PROPERTIES TIMEOUT 300)
add_test(NAME WindowsMkfont
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_mkfont_test.sh ${wine_run} ${wine_prefix}
          ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PIXTREL_HOST_TOOLS} ${FONT_DIR}/b12.pcf.gz:12 ${wenquanyi}:16)
set_tests_properties(WindowsMkfont PROPERTIES TIMEOUT 300)

if(PIXTREL_BUILD_UI)
  # The Win32 window, driven in-process by its messages on an X server of its own.
  add_executable(win32_form1_tests win32_form1_test.cpp)
  target_link_libraries(win32_form1_tests PRIVATE pixtrel_test_support pixtrel_ui GTest::gtest_main version)
  add_dependencies(win32_form1_tests Pixtrel)
  target_compile_definitions(win32_form1_tests PRIVATE PIXTREL_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
  add_dependencies(win32_form1_tests glyph_data)
  add_test(NAME Win32Form1
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_on_xvfb.sh ${wine_run} ${wine_prefix} $<TARGET_FILE:win32_form1_tests>)
  set_tests_properties(Win32Form1 PROPERTIES TIMEOUT 120)
endif()

if(PIXTREL_BUILD_UI)
  # The whole job through Pixtrel.exe and the real Open dialog, as a user does it.
  add_test(NAME WindowsWindow
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_window_test.sh ${wine_run} ${wine_prefix}
            ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PIXTREL_HOST_TOOLS} ${PROJECT_SOURCE_DIR}/samples
            ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(WindowsWindow PROPERTIES TIMEOUT 180)
endif()

if(PIXTREL_BUILD_UI)
  # The window on a screen of 144 dots per inch, in a Wine prefix whose
  # LogPixels says so: laid out in twips at that resolution, and the whole job.
  set(prefix_144_dpi ${CMAKE_BINARY_DIR}/wine-prefix-144dpi)
  add_test(NAME WinePrefixAt144Dpi
    COMMAND ${wine_run} ${prefix_144_dpi} reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 144 /f)
  add_test(NAME Win32Form1At144Dpi
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_on_xvfb.sh ${wine_run} ${prefix_144_dpi}
            $<TARGET_FILE:win32_form1_tests> --gtest_filter=Win32Form1Test.StartsIdleWithItsControlsInPlace)
  add_test(NAME WindowsWindowAt144Dpi
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_window_test.sh ${wine_run} ${prefix_144_dpi}
            ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PIXTREL_HOST_TOOLS} ${PROJECT_SOURCE_DIR}/samples
            ${CMAKE_BINARY_DIR}/screenshots/144dpi 144)
  set_tests_properties(WinePrefixAt144Dpi PROPERTIES FIXTURES_SETUP screen-144-dpi TIMEOUT 120)
  set_tests_properties(Win32Form1At144Dpi PROPERTIES ENVIRONMENT PIXTREL_SCREEN_DPI=144 TIMEOUT 120)
  set_tests_properties(WindowsWindowAt144Dpi PROPERTIES TIMEOUT 180)
  set_tests_properties(WinePrefixAt144Dpi Win32Form1At144Dpi WindowsWindowAt144Dpi PROPERTIES
    RESOURCE_LOCK wine-prefix-144dpi)
  set_tests_properties(Win32Form1At144Dpi WindowsWindowAt144Dpi PROPERTIES FIXTURES_REQUIRED screen-144-dpi)
endif()

# The installer installs, runs and uninstalls, in a Wine prefix of its own.
add_test(NAME WindowsInstaller
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_installer_test.sh ${wine_run} ${CMAKE_BINARY_DIR}
          ${PIXTREL_HOST_TOOLS} ${PROJECT_SOURCE_DIR}/samples ${PIXTREL_VERSION_TEXT})
set_tests_properties(WindowsInstaller PROPERTIES TIMEOUT 300)

# The suites and the tests above but the installer's share the build's Wine
# prefix, whose server the window tests end: under ctest -j they take turns.
set(prefix_tests core_tests cli_tests WindowsExtract WindowsMkfont)
if(PIXTREL_BUILD_UI)
  list(APPEND prefix_tests Win32Form1 WindowsWindow)
endif()
set_tests_properties(${prefix_tests} PROPERTIES RESOURCE_LOCK wine-prefix)

# pixtrel-studio.exe answers the API's tests of the Linux build, run from Linux.
add_test(NAME WindowsStudio COMMAND ${PIXTREL_HOST_TOOLS}/studio_tests)
set_tests_properties(WindowsStudio PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine-prefix
  ENVIRONMENT "PIXTREL_STUDIO_COMMAND='${wine_run}' '${wine_prefix}' '${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/pixtrel-studio.exe'")
