# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page as an HTML page for the program's "Handbuch":
#   cmake -DMANDOC=... -DIN=page.1 -DOUT=page.html -P mantohtml.cmake
# Written under a temporary name and renamed, so a failed run leaves no page.
execute_process(COMMAND ${MANDOC} -T html -K utf-8 ${IN}
                OUTPUT_FILE ${OUT}.tmp RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "mandoc failed on ${IN} (${rc}): ${err}")
endif()
file(RENAME ${OUT}.tmp ${OUT})
