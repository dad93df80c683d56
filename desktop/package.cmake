# The Debian package, made by CPack from the install rules above, so that the package, the
# `cmake --install` layout and the install test all follow one list of files. The package is made
# from the build that is already there (`cmake --build --preset default --target package`).
set(VAPORICA_PACKAGE_MAINTAINER "Vaporica developers <developers@vaporica.github.io>"
    CACHE STRING "Maintainer field of the Debian package (the address beside the homepage of the metainfo)")

# Debian's documentation: the copyright notice, the changelog and the manual pages, compressed
# reproducibly.
set(compressed_documents)
foreach(document changelog man/vaporica.1 man/vaporica-check-material.1 man/vaporica-make-material.1)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${document}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/${document} > ${compressed}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${document}
    VERBATIM)
  list(APPEND compressed_documents ${compressed})
endforeach()
add_custom_target(package-documents ALL DEPENDS ${compressed_documents})
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/vaporica.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/man/vaporica-check-material.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/man/vaporica-make-material.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# dpkg lists the bank files as configuration: an edit is kept at an upgrade and at `remove`, and
# `purge` deletes them.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/conffiles "/etc/vaporica/mondai.txt\n/etc/vaporica/taiou.txt\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vaporica)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VAPORICA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill for the laboratory preparation of gases (Japanese)")
set(CPACK_PACKAGE_DESCRIPTION [[
A desktop teaching program for school chemistry with a Japanese interface.
Pupils see two highlighted reagents and name the gas they produce, choose
the generator apparatus and the collection method, and read a summary with
the balanced reaction equation. A properties browser for the fourteen gases
and a Kipp's generator demonstration complete it.

The teacher's tools vaporica-check-material and vaporica-make-material check
an edited question bank and remake the pictures of changed questions; the
question bank itself is kept in /etc/vaporica.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vaporica.github.io/)
# The shared libraries come from dpkg-shlibdeps; what is loaded at run time is named here: the
# GStreamer elements that play a WAV file (base: playback, conversion, ALSA output; good: the WAV
# parser and the PulseAudio output) and the Mincho faces the screens are set in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-mincho, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Installed under /usr with DESTDIR, so that the install rules see the real prefix (the bank files
# then go to /etc, and the links point there).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
