# Runs after cpack has made the packages: a SHA256SUMS file beside them, in
# sha256sum's own form, so that `sha256sum -c SHA256SUMS` checks a download.
# The packages are still in cpack's staging folder here; cpack then copies
# them, unchanged, to CPACK_PACKAGE_DIRECTORY.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(SHA256 ${package} hash)
  cmake_path(GET package FILENAME name)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
message(STATUS "- checksums: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
