# The layout artwork pre-rendered to raw pixels at build time and packed, uncompressed, into the
# program: a screen then shows its pictures without rendering SVG, and start-up stays short. That
# is every SVG under art/, the apparatus quiz's choice pictures, and the name plates the screens
# show before their first load. The art/ SVG sources stay in the program too, for any size not
# pre-rendered.
file(GLOB_RECURSE VAPORICA_ART_SVGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/art/*.svg)
file(GLOB VAPORICA_APPARATUS_SVGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/material/apparatus/*.svg)

add_executable(prerender-art ${CMAKE_SOURCE_DIR}/tools/prerender-art/main.cpp)
target_link_libraries(prerender-art PRIVATE vaporica_material)

set(prerendered_dir ${CMAKE_BINARY_DIR}/prerendered-art)
set(prerendered_qrc ${prerendered_dir}/prerendered-art.qrc)
set(VAPORICA_PRERENDERED_ART ${prerendered_dir}/prerendered-art.cpp)
add_custom_command(
  OUTPUT ${prerendered_qrc}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${prerendered_dir}/pixels
  # Fontconfig keeps its caches for the process lifetime; at build time that is no leak of ours.
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:prerender-art> ${prerendered_dir}/pixels ${prerendered_qrc}
          art=${CMAKE_SOURCE_DIR}/art apparatus=${CMAKE_SOURCE_DIR}/material/apparatus
  DEPENDS prerender-art ${VAPORICA_ART_SVGS} ${VAPORICA_APPARATUS_SVGS}
  COMMENT "Pre-rendering the layout artwork"
  VERBATIM)
# Uncompressed, so a picture is the resource's own bytes and needs no unpacking or copy.
add_custom_command(
  OUTPUT ${VAPORICA_PRERENDERED_ART}
  COMMAND Qt6::rcc --no-compress --name prerendered_art -o ${VAPORICA_PRERENDERED_ART}
          ${prerendered_qrc}
  DEPENDS ${prerendered_qrc}
  VERBATIM)
set_source_files_properties(${VAPORICA_PRERENDERED_ART} PROPERTIES SKIP_AUTOGEN ON)
