# Writes TEXT from SOURCE with Windows line ends, for the zip: Notepad on
# older Windows shows a file with bare line feeds as one long line. A manual
# page (SOURCE ending in .1) is rendered as plain text with GROFF first.
if(SOURCE MATCHES "\\.1$")
  execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou INPUT_FILE ${SOURCE}
                  OUTPUT_VARIABLE content RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${GROFF} could not render ${SOURCE}")
  endif()
else()
  file(READ ${SOURCE} content)
endif()
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
file(WRITE ${TEXT} "${content}")
