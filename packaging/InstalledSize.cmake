# Writes OUTPUT, a wixl include defining InstalledSize: the installed files'
# (FILES) size in kilobytes, rounded up, for the Apps & Features entry.
set(bytes 0)
foreach(file IN LISTS FILES)
  file(SIZE ${file} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "<?xml version=\"1.0\" encoding=\"utf-8\"?>
<Include>
  <?define InstalledSize = \"${kilobytes}\" ?>
</Include>
")
