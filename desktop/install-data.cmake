# Runs at install time with vaporica_data_source (the build directory holding the built data
# folders), vaporica_data_folders (their names) and vaporica_data_dir (the program's folder under
# the prefix). Under /usr each folder is a link to the data that the package's maintainer script
# makes in /var/lib/vaporica (`cmake --install` alone leaves the links leading nowhere until
# `sudo vaporica-make-material --system --remake`); under any other prefix the built folders are
# copied.
set(program_dir "${CMAKE_INSTALL_PREFIX}/${vaporica_data_dir}")
foreach(folder ${vaporica_data_folders})
  if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(link "$ENV{DESTDIR}${program_dir}/${folder}")
    message(STATUS "Linking: ${link} -> /var/lib/vaporica/${folder}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${program_dir}")
    file(CREATE_LINK "/var/lib/vaporica/${folder}" "${link}" SYMBOLIC)
  else()
    # file(INSTALL) adds DESTDIR itself.
    file(INSTALL DESTINATION "${program_dir}" TYPE DIRECTORY FILES "${vaporica_data_source}/${folder}")
  endif()
endforeach()
