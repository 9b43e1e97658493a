# The tests of the Windows build beyond the suites, run on the build
# machine with the Windows programs under Wine.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 wine_run)
list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 wine_prefix)

# pixtrel-extract.exe writes what the Linux build's pixtrel-extract writes.
add_test(NAME WindowsExtract
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows_extract_test.sh ${wine_run} ${wine_prefix}
          ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PIXTREL_HOST_TOOLS} ${PROJECT_SOURCE_DIR}/samples)
set_tests_properties(WindowsExtract PROPERTIES TIMEOUT 300)
