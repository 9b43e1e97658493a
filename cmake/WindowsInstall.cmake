# Installing on Windows: one folder under Program Files with the programs,
# the data files beside them, the sets in fonts/ and the licences of the
# libraries in licenses/; and its installer, made by `cpack -G NSIS64` in the
# build directory, which puts the folder on the user's PATH when asked.

set(windows_programs pixtrel-extract pixtrel-mkfont pixtrel-studio)
if(PIXTREL_BUILD_UI)
  list(APPEND windows_programs Pixtrel)
endif()
install(TARGETS ${windows_programs} RUNTIME DESTINATION .)
install(FILES LICENSE packaging/copyright DESTINATION .)

set(CPACK_PACKAGE_NAME Pixtrel)
set(CPACK_PACKAGE_VENDOR Pixtrel)
set(CPACK_PACKAGE_VERSION ${PIXTREL_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME pixtrel-${PIXTREL_VERSION_TEXT}-win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cut the glyph file of a text out of a glyph font")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pixtrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pixtrel)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_DISPLAY_NAME Pixtrel)
set(CPACK_NSIS_PACKAGE_NAME Pixtrel)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer, as the programs are: it runs where 32-bit programs do not.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The Start-menu entries.
set(CPACK_PACKAGE_EXECUTABLES pixtrel-studio "Pixtrel Studio")
if(PIXTREL_BUILD_UI)
  list(PREPEND CPACK_PACKAGE_EXECUTABLES Pixtrel Pixtrel)
  set(CPACK_NSIS_INSTALLED_ICON_NAME Pixtrel.exe)
endif()
# Named so, the uninstaller is no command "uninstall" when the folder is on the PATH.
set(CPACK_NSIS_UNINSTALL_NAME "Uninstall Pixtrel")
set(CPACK_STRIP_FILES ON)
# The installer's own template: the PATH as a component of the installation.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
include(CPack)
