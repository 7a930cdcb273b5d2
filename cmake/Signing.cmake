# Signing the Windows programs and the MSI, when the builder has a certificate:
# Authenticode with SHA-256 by osslsigncode (packaging/Sign.cmake). Unsigned
# without one.
set(TAVIRAP_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file to sign the Windows programs and the MSI with (empty: unsigned)")
set(TAVIRAP_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 file's password")
set(TAVIRAP_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server for the signatures (optional; needs the network)")

# tavirap_sign_command(VARIABLE FILE): VARIABLE becomes the COMMAND that signs
# FILE in place, for add_custom_command; nothing when the build is unsigned.
function(tavirap_sign_command variable file)
  set(command)
  if(TAVIRAP_SIGN_PKCS12)
    find_program(OSSLSIGNCODE osslsigncode REQUIRED)
    set(command COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE}
                -DPKCS12=${TAVIRAP_SIGN_PKCS12} -DPASSWORD_FILE=${TAVIRAP_SIGN_PASSWORD_FILE}
                -DTIMESTAMP_URL=${TAVIRAP_SIGN_TIMESTAMP_URL}
                "-DDESCRIPTION=${PROJECT_DESCRIPTION}" -DURL=${PROJECT_HOMEPAGE_URL}
                -DFILE=${file} -P ${PROJECT_SOURCE_DIR}/packaging/Sign.cmake)
  endif()
  set(${variable} ${command} PARENT_SCOPE)
endfunction()
