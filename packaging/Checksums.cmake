# Writes SHA256SUMS in FOLDER, in sha256sum's own form, so that
# `sha256sum -c SHA256SUMS` checks a download: for PACKAGES, and for those of
# OTHERS that exist (the packages made before by the other step).
# cpack runs it after making its packages: they are still in its staging
# folder here, and cpack then copies them, unchanged, to
# CPACK_PACKAGE_DIRECTORY. The msi target runs it with cmake -P.
if(DEFINED CPACK_PACKAGE_FILES)
  set(FOLDER ${CPACK_PACKAGE_DIRECTORY})
  set(PACKAGES ${CPACK_PACKAGE_FILES})
  set(OTHERS ${CPACK_TAVIRAP_OTHERS})
endif()
foreach(other IN LISTS OTHERS)
  if(EXISTS ${other})
    list(APPEND PACKAGES ${other})
  endif()
endforeach()
set(sums "")
foreach(package IN LISTS PACKAGES)
  file(SHA256 ${package} hash)
  cmake_path(GET package FILENAME name)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${FOLDER}/SHA256SUMS "${sums}")
message(STATUS "- checksums: ${FOLDER}/SHA256SUMS")
