# Writes TEXT from SOURCE with Windows line ends, for the zip and the MSI:
# Notepad on older Windows shows a file with bare line feeds as one long line.
# With VARIANT (msi or zip), a block of lines that starts with a line "@msi"
# or "@zip" is kept only in that variant's text; a line "@end" closes it.
file(READ ${SOURCE} content)
string(REPLACE "\r\n" "\n" content "${content}")
if(VARIANT)
  # Blocks marked with characters no text holds, so that a regular expression
  # can find each block's end.
  string(ASCII 1 open)
  string(ASCII 2 close)
  string(REGEX REPLACE "(^|\n)@(msi|zip)\n" "\\1${open}\\2" content "${content}")
  string(REGEX REPLACE "(^|\n)@end\n" "\\1${close}" content "${content}")
  set(other msi)
  if(VARIANT STREQUAL msi)
    set(other zip)
  endif()
  string(REGEX REPLACE "${open}${other}[^${open}${close}]*" "" content "${content}")
  string(REPLACE "${open}${VARIANT}" "" content "${content}")
  string(REPLACE "${close}" "" content "${content}")
  if(content MATCHES "(^|\n)@")
    message(FATAL_ERROR "${SOURCE}: a block marker that is not @msi, @zip or @end")
  endif()
endif()
string(REPLACE "\n" "\r\n" content "${content}")
file(WRITE ${TEXT} "${content}")
