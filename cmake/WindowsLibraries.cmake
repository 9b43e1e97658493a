# zlib, libpng, FreeType, HarfBuzz, uchardet, cpp-httplib and nlohmann-json for the Windows build, built from
# Debian's source packages into the build directory when it is first
# configured, and linked into the programs: the imported targets ZLIB::ZLIB,
# PNG::PNG, Freetype::Freetype, Harfbuzz::Harfbuzz, Uchardet::Uchardet, Httplib::Httplib and
# nlohmann_json::nlohmann_json, as the Linux build
# finds them on the system.

set(WINDOWS_LIBRARIES ${CMAKE_BINARY_DIR}/windows-libraries/prefix)
execute_process(
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/windows-libraries.sh ${CMAKE_BINARY_DIR}/windows-libraries
          ${PIXTREL_TOOLCHAIN_FILE}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The libraries for Windows could not be built (see above)")
endif()

# windows_library(TARGET ARCHIVE INCLUDE_DIR DEPENDENCY...)
function(windows_library target archive include_dir)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION ${WINDOWS_LIBRARIES}/lib/${archive}
    INTERFACE_INCLUDE_DIRECTORIES ${WINDOWS_LIBRARIES}/include/${include_dir}
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()
windows_library(ZLIB::ZLIB libz.a "")
windows_library(PNG::PNG libpng16.a "" ZLIB::ZLIB)
windows_library(Freetype::Freetype libfreetype.a freetype2 PNG::PNG ZLIB::ZLIB)
windows_library(Harfbuzz::Harfbuzz libharfbuzz.a harfbuzz)
windows_library(Uchardet::Uchardet libuchardet.a "")
# Headers alone.
add_library(Httplib::Httplib INTERFACE IMPORTED GLOBAL)
set_target_properties(Httplib::Httplib PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WINDOWS_LIBRARIES}/include
  INTERFACE_LINK_LIBRARIES ws2_32 INTERFACE_COMPILE_DEFINITIONS _WIN32_WINNT=0x0A00)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${WINDOWS_LIBRARIES}/include)

# Their licences, beside Pixtrel's in the installed folder.
foreach(library zlib libpng1.6 freetype harfbuzz uchardet cpp-httplib nlohmann-json3)
  install(FILES ${WINDOWS_LIBRARIES}/licenses/${library}/copyright DESTINATION licenses/${library})
endforeach()
