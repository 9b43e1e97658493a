# Installing on Linux and the Debian package: the programs and the data
# files in lib/pixtrel, the sets in share/pixtrel/fonts, links in bin/, the
# manual pages and the CMake package.

# Installed together in one directory, the program directory, with links in bin/.
set(PIXTREL_PROGRAMS pixtrel-extract pixtrel-mkfont pixtrel-studio)
install(FILES src/studio/pixtrel-studio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(PIXTREL_BUILD_UI_QT)
  list(APPEND PIXTREL_PROGRAMS Pixtrel)
  install(FILES src/ui/resources/pixtrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES src/ui/resources/pixtrel.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
endif()
install(TARGETS ${PIXTREL_PROGRAMS} RUNTIME DESTINATION ${PIXTREL_DIR})

# The package CMake projects find: find_package(Pixtrel) and pixtrel_add_glyphs.
include(CMakePackageConfigHelpers)
set(PIXTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Pixtrel)
set(PIXTREL_EXTRACT ${CMAKE_INSTALL_BINDIR}/pixtrel-extract)
configure_package_config_file(cmake/PixtrelConfig.cmake.in ${GENERATED_DIR}/PixtrelConfig.cmake
  INSTALL_DESTINATION ${PIXTREL_CMAKE_DIR} PATH_VARS PIXTREL_EXTRACT PIXTREL_SETS_DIR)
# The package runs the host's program: any target takes it, a 32-bit firmware too.
write_basic_package_version_file(${GENERATED_DIR}/PixtrelConfigVersion.cmake COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
install(FILES ${GENERATED_DIR}/PixtrelConfig.cmake ${GENERATED_DIR}/PixtrelConfigVersion.cmake
  DESTINATION ${PIXTREL_CMAKE_DIR})

# Manual pages and the changelog go compressed, as Debian has them.
set(PIXTREL_MAN_PAGES pixtrel-extract.1 pixtrel-mkfont.1 pixtrel-studio.1)
if(PIXTREL_BUILD_UI_QT)
  list(APPEND PIXTREL_MAN_PAGES Pixtrel.1)
endif()
set(COMPRESSED_DOCS)
foreach(doc IN LISTS PIXTREL_MAN_PAGES ITEMS changelog)
  add_custom_command(
    OUTPUT ${GENERATED_DIR}/${doc}.gz
    COMMAND gzip -9n --force --keep ${GENERATED_DIR}/${doc}
    DEPENDS ${GENERATED_DIR}/${doc})
  list(APPEND COMPRESSED_DOCS ${GENERATED_DIR}/${doc}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${COMPRESSED_DOCS})
list(TRANSFORM PIXTREL_MAN_PAGES PREPEND ${GENERATED_DIR}/)
list(TRANSFORM PIXTREL_MAN_PAGES APPEND .gz)
install(FILES ${PIXTREL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GENERATED_DIR}/changelog.gz packaging/copyright README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pixtrel)
install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pixtrel)
foreach(program IN LISTS PIXTREL_PROGRAMS)
  install(CODE "file(MAKE_DIRECTORY \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
    file(CREATE_LINK ../${PIXTREL_DIR}/${program} \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program} SYMBOLIC)")
endforeach()

# The Debian package, made by `cpack -G DEB` in the build directory:
# everything above under /usr, Depends computed from the shared libraries.
set(CPACK_PACKAGE_NAME pixtrel)
set(CPACK_PACKAGE_VERSION ${PIXTREL_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR Pixtrel)
set(CPACK_PACKAGE_CONTACT "Pixtrel developers <pixtrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cut the glyph file of a text out of a 16x16 glyph font")
set(CPACK_PACKAGE_DESCRIPTION "Pixtrel writes the 16x16 glyph of every Chinese character of a text,
in text order, into a file that firmware can draw the text from. It comes
as a desktop program, Pixtrel, as pixtrel-extract for makefiles, and as
Pixtrel Studio, which draws a project's texts as the display draws them.")
# pixtrel-extract loads libpng when it makes a picture, FreeType and zlib
# when it opens a font file (so does pixtrel-mkfont), HarfBuzz when it reads
# a font's kerning, fontconfig when it looks for an installed font; the window shows Chinese captions and needs
# Qt's platform plugins; the libraries' own dependencies are added from the
# executables.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpng16-16, libfreetype6, zlib1g, libharfbuzz0b, libfontconfig1")
if(PIXTREL_BUILD_UI_QT)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
    ", fonts-wqy-microhei | fonts-noto-cjk, qt6-qpa-plugins, qt6-translations-l10n")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

