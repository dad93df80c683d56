# Runs at install time with vaporica_bank_source (the built 説明 folder) and vaporica_data_dir (its
# place under the prefix). The bank files go to etc beside the prefix, as GNUInstallDirs places it
# (/etc for the prefix /usr), and the data directory links to them by absolute path.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(etc /etc/vaporica)
else()
  set(etc ${CMAKE_INSTALL_PREFIX}/etc/vaporica)
endif()
file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${vaporica_data_dir}")
foreach(name mondai.txt taiou.txt)
  # file(INSTALL) adds DESTDIR itself.
  file(INSTALL "${vaporica_bank_source}/${name}" DESTINATION "${etc}"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set(link "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${vaporica_data_dir}/${name}")
  message(STATUS "Linking: ${link} -> ${etc}/${name}")
  file(CREATE_LINK "${etc}/${name}" "${link}" SYMBOLIC)
endforeach()
