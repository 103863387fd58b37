# SPDX-License-Identifier: GPL-3.0-or-later
# Runs EXE with the |-separated ARGS, which must succeed and write OUT, then
# checks the picture with CHECK and the |-separated EXPECT (size, colours).
file(REMOVE ${OUT})
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${EXE} ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit code ${rc}, expected 0: ${err}")
endif()
string(REPLACE "|" ";" expect "${EXPECT}")
execute_process(COMMAND ${CHECK} ${OUT} ${expect} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${err}")
endif()
