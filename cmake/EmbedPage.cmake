# cmake -DOUTPUT=FILE -DSOURCE_DIR=DIR -DFILES=a,b -P EmbedPage.cmake: writes
# the C++ source of FindStudioPageFile, which holds each file of FILES (paths
# in DIR) as a string, served at "/" and its name ("/" for index.html).
string(REPLACE "," ";" FILES "${FILES}")
set(entries "")
foreach(file IN LISTS FILES)
  file(READ ${SOURCE_DIR}/${file} body)
  get_filename_component(name ${file} NAME)
  get_filename_component(extension ${file} LAST_EXT)
  if(extension STREQUAL ".html")
    set(type "text/html; charset=utf-8")
    set(path "/")
  elseif(extension STREQUAL ".css")
    set(type "text/css; charset=utf-8")
    set(path "/${name}")
  else()
    set(type "text/javascript; charset=utf-8")
    set(path "/${name}")
  endif()
  string(APPEND entries "    {\"${path}\", \"${type}\", R\"pixtrel(${body})pixtrel\"},\n")
endforeach()
file(WRITE ${OUTPUT}.new "// Made from the page's files by EmbedPage.cmake.

#include \"studio/studio_page.h\"

namespace pixtrel {

std::optional<StudioPageFile> FindStudioPageFile(std::string_view path) {
  static constexpr StudioPageFile kFiles[] = {
${entries}  };
  for (const StudioPageFile& file : kFiles)
    if (file.path == path) return file;
  return std::nullopt;
}

}  // namespace pixtrel
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
