# The compiled resources (icon, manifest, version information, artwork) and the code that draws
# the artwork, as one object library: objects of a static library that nothing references would be
# dropped by the linker, and a resource is never referenced by a symbol.
#
# The artwork is rendered from ui/art/*.svg at build time with rsvg-convert, at twice its size so
# that it stays sharp at 200 % DPI; the icon comes from ui/art/icon.svg.

# Included from win32/ and from the GUI tests, whichever comes first.
if(TARGET tessmar_win32_resources)
  return()
endif()

find_program(TESSMAR_RSVG rsvg-convert REQUIRED)
find_program(TESSMAR_ICOTOOL icotool REQUIRED)

set(_res_src ${CMAKE_CURRENT_LIST_DIR})
set(_res_bin ${CMAKE_CURRENT_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${_res_bin}/art ${_res_bin}/icon)

file(GLOB _art_svgs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/ui/art/*.svg)
set(_art_pngs)
set(_art_rc "")
foreach(svg IN LISTS _art_svgs)
  get_filename_component(name ${svg} NAME_WE)
  string(TOUPPER ${name} upper)
  set(png ${_res_bin}/art/${name}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${TESSMAR_RSVG} --zoom=2 --background-color=none -o ${png} ${svg}
    DEPENDS ${svg}
    VERBATIM)
  list(APPEND _art_pngs ${png})
  string(APPEND _art_rc "ART_${upper} RCDATA \"art/${name}.png\"\n")
endforeach()
file(CONFIGURE OUTPUT ${_res_bin}/art.rc CONTENT "${_art_rc}")
file(CONFIGURE OUTPUT ${_res_bin}/version.h CONTENT
"#define TESSMAR_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define TESSMAR_VERSION_MINOR ${PROJECT_VERSION_MINOR}
#define TESSMAR_VERSION \"${PROJECT_VERSION}\"
")

set(_icon_pngs)
foreach(size IN ITEMS 16 24 32 48 256)
  set(png ${_res_bin}/icon/icon${size}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${TESSMAR_RSVG} -w ${size} -h ${size} --background-color=none -o ${png}
            ${PROJECT_SOURCE_DIR}/ui/art/icon.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/ui/art/icon.svg
    VERBATIM)
  list(APPEND _icon_pngs ${png})
endforeach()
# The 256 px image stays PNG inside the icon (as Windows' own icons have it); the others are
# bitmaps that every version reads.
list(POP_BACK _icon_pngs _icon_large)
add_custom_command(
  OUTPUT ${_res_bin}/tessmar.ico
  COMMAND ${TESSMAR_ICOTOOL} -c -o ${_res_bin}/tessmar.ico ${_icon_pngs} -r ${_icon_large}
  DEPENDS ${_icon_pngs} ${_icon_large}
  VERBATIM)

set_source_files_properties(${_res_src}/tessmar.rc PROPERTIES
  OBJECT_DEPENDS "${_art_pngs};${_res_bin}/tessmar.ico;${_res_bin}/art.rc;${_res_bin}/version.h;${_res_src}/tessmar.manifest")

add_library(tessmar_win32_resources OBJECT ${_res_src}/tessmar.rc ${_res_src}/../art.cpp
            ${_res_src}/../png.cpp)
target_include_directories(tessmar_win32_resources PRIVATE ${_res_bin} ${_res_src})
target_include_directories(tessmar_win32_resources PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tessmar_win32_resources PUBLIC gdi32)
