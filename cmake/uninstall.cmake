# uninstall.cmake - removes every file that the last `cmake --install` of
# this build tree put in place, as listed in its install_manifest.txt.
#   cmake -DMANIFEST=BUILD/install_manifest.txt -P cmake/uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "nothing to uninstall: ${MANIFEST} does not exist (run cmake --install first)")
endif()
file(STRINGS "${MANIFEST}" files)
foreach(file IN LISTS files)
  if(EXISTS "$ENV{DESTDIR}${file}" OR IS_SYMLINK "$ENV{DESTDIR}${file}")
    message(STATUS "Removing $ENV{DESTDIR}${file}")
    file(REMOVE "$ENV{DESTDIR}${file}")
  endif()
endforeach()
