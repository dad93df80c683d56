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
# Uncompressed, so a picture is the resource's own bytes and needs no unpacking or copy. Packed
# with rcc's two big-resource passes: the first writes a small C++ file that holds a place for the
# data, the second copies the pixels into that file's compiled object, so the many megabytes of
# pixels never pass through the compiler.
set(prerendered_pass1 ${prerendered_dir}/prerendered-art-pass1.cpp)
set(VAPORICA_PRERENDERED_ART ${prerendered_dir}/prerendered-art.o)
add_custom_command(
  OUTPUT ${prerendered_pass1}
  COMMAND Qt6::rcc --no-compress --name prerendered_art --pass 1 -o ${prerendered_pass1}
          ${prerendered_qrc}
  DEPENDS ${prerendered_qrc}
  VERBATIM)
add_library(vaporica_prerendered_pass1 OBJECT ${prerendered_pass1})
set_target_properties(vaporica_prerendered_pass1 PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
target_link_libraries(vaporica_prerendered_pass1 PRIVATE Qt6::Core)
add_custom_command(
  OUTPUT ${VAPORICA_PRERENDERED_ART}
  COMMAND Qt6::rcc --no-compress --name prerendered_art --pass 2
          --temp $<TARGET_OBJECTS:vaporica_prerendered_pass1> -o ${VAPORICA_PRERENDERED_ART}
          ${prerendered_qrc}
  DEPENDS vaporica_prerendered_pass1 $<TARGET_OBJECTS:vaporica_prerendered_pass1>
          ${prerendered_qrc}
  VERBATIM)
set_source_files_properties(${VAPORICA_PRERENDERED_ART} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
