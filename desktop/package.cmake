# The Debian package, made by CPack from the install rules above, so that the package, the
# `cmake --install` layout and the install test all follow one list of files. The package is made
# from the build that is already there (`cmake --build --preset default --target package`).
set(VAPORICA_PACKAGE_MAINTAINER "Vaporica developers <developers@vaporica.github.io>"
    CACHE STRING "Maintainer field of the Debian package (the address beside the homepage of the metainfo)")

# Debian's documentation: the copyright notice, the changelog and the manual pages (English, and
# Japanese for the teachers), compressed reproducibly.
set(manual_pages vaporica.1 vaporica-check-material.1 vaporica-make-material.1 vaporica-editor.1)
set(documents changelog)
foreach(page ${manual_pages})
  list(APPEND documents man/${page} man/ja/${page})
endforeach()
set(compressed_documents)
foreach(document ${documents})
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${document}.gz)
  get_filename_component(folder ${compressed} DIRECTORY)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/${document} > ${compressed}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${document}
    VERBATIM)
  list(APPEND compressed_documents ${compressed})
endforeach()
add_custom_target(package-documents ALL DEPENDS ${compressed_documents})
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
foreach(page ${manual_pages})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/ja/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
endforeach()

# The maintainer scripts: the data made from the tables in force at every install and upgrade,
# the move from the layout of 0.1 (configuration files, directories beside the program), and what
# remove and purge leave. The package has no configuration files: no upgrade ever asks a question.
list(JOIN VAPORICA_DATA_FOLDERS " " VAPORICA_DATA_FOLDERS_WORDS)
set(VAPORICA_LINKS_SINCE 0.2~)
set(maintainer_scripts)
foreach(script preinst postinst postrm)
  configure_file(debian/${script}.in ${CMAKE_CURRENT_BINARY_DIR}/debian/${script} @ONLY)
  list(APPEND maintainer_scripts ${CMAKE_CURRENT_BINARY_DIR}/debian/${script})
endforeach()

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

Teachers change the questions in three tables; vaporica-make-material checks
them and makes the questions, pictures and sounds from them, and with --system
installs them for everyone on the computer (the school's tables are kept in
/etc/vaporica and survive every upgrade). The question editor vaporica-editor
does the same in a window: questions picked from lists and pictures, a live
preview, a trial in the pupils' program, and publishing for every user of the
computer (through pkexec) or as one file for the computers of a lab. A
teacher's guide in Japanese is in /usr/share/doc/vaporica.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vaporica.github.io/)
# The shared libraries come from dpkg-shlibdeps; what is loaded at run time is named here: the
# GStreamer elements that play a WAV file (base: playback, conversion, ALSA output; good: the WAV
# parser and the PulseAudio output) and the Mincho faces the screens, and the pictures made at
# install time, are set in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-mincho, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
# xdg-open shows the teacher's guide from the desktop entry; pkexec asks the administrator's
# password for the editor's 「全員に配布」 (without it, the editor says who can publish instead).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, pkexec | policykit-1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${maintainer_scripts})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Installed under /usr with DESTDIR, so that the install rules see the real prefix (the data
# folders are then links into /var/lib/vaporica).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
