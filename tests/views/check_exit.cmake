# SPDX-License-Identifier: GPL-3.0-or-later
# Runs EXE with the ;-separated ARGS and fails unless it exits with EXPECT.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${EXE} ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL EXPECT)
  message(FATAL_ERROR "exit code ${rc}, expected ${EXPECT}: ${err}")
endif()
