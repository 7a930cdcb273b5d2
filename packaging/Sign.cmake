# Signs FILE in place with osslsigncode: Authenticode, SHA-256, with
# DESCRIPTION and URL, by the certificate in the PKCS#12 file PKCS12 whose
# password is in PASSWORD_FILE; time-stamped by TIMESTAMP_URL when given.
set(timestamp)
if(TIMESTAMP_URL)
  set(timestamp -ts ${TIMESTAMP_URL})
endif()
file(REMOVE ${FILE}.signed)
execute_process(COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${PKCS12} -readpass ${PASSWORD_FILE}
                        -h sha256 -n ${DESCRIPTION} -i ${URL} ${timestamp}
                        -in ${FILE} -out ${FILE}.signed
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${FILE}.signed)
  message(FATAL_ERROR "${OSSLSIGNCODE} could not sign ${FILE}")
endif()
file(RENAME ${FILE}.signed ${FILE})
