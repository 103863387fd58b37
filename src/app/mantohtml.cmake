# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page as an HTML page for the program's "Handbuch":
#   cmake -DMANDOC=... -DIN=page.1 -DOUT=page.html -DPROJECT_VERSION=x.y.z -P mantohtml.cmake
# Written under a temporary name and renamed, so a failed run leaves no page.
# The page's title carries the version as the installed manual page does.
configure_file(${IN} ${OUT}.1 @ONLY)
execute_process(COMMAND ${MANDOC} -T html -K utf-8 ${OUT}.1
                OUTPUT_FILE ${OUT}.tmp RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT}.tmp ${OUT}.1)
  message(FATAL_ERROR "mandoc failed on ${IN} (${rc}): ${err}")
endif()
file(REMOVE ${OUT}.1)
file(RENAME ${OUT}.tmp ${OUT})
