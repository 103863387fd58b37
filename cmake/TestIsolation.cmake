# SPDX-License-Identifier: GPL-3.0-or-later
# Every test runs with a home of its own under the build tree, so that no
# test reads the user's settings or leaves its own there (the program's
# recent files and window position, the serial-link library's vlnkw.ini and
# log). Each test directory ends with tres_isolate_tests(); the real home is
# watched by the fixture "real-home" (tests/homeguard.sh), which every test
# requires, so also a single test run by "ctest -R" is watched.
#
# The folders are emptied when CTest reads the tests, i.e. once per ctest
# run: the top directory's include file wipes them, each directory's then
# makes its tests' folders anew.

set(TRES_TEST_HOMES ${PROJECT_BINARY_DIR}/test-homes)

# The folder of one test: its name with anything but letters, digits, ".",
# "-" and "_" as "_" (parameterised gtest names hold "/").
function(tres_test_home out name)
  string(REGEX REPLACE "[^A-Za-z0-9._-]" "_" leaf "${name}")
  set(${out} "${TRES_TEST_HOMES}/${leaf}" PARENT_SCOPE)
endfunction()

# The variables a test gets, as ENVIRONMENT_MODIFICATION entries, without
# those its own ENVIRONMENT sets (such a test chose its folder itself).
function(tres_test_env out home own_env)
  set(mods "")
  foreach(pair HOME=${home} XDG_CONFIG_HOME=${home}/.config XDG_DATA_HOME=${home}/.local/share
               XDG_CACHE_HOME=${home}/.cache XDG_STATE_HOME=${home}/.local/state VLNK_DIR=${home}/vlnk)
    string(REGEX MATCH "^[^=]+" key "${pair}")
    string(LENGTH "${key}=" skip)
    string(SUBSTRING "${pair}" ${skip} -1 value)
    if(NOT "${own_env}" MATCHES "(^|;)${key}=")
      list(APPEND mods "${key}=set:${value}")
    endif()
  endforeach()
  set(${out} "${mods}" PARENT_SCOPE)
endfunction()

# The top directory's part: wipe every folder of the last run. A test may
# have left a folder without write permission (a failure provoked on
# purpose), hence the chmod before the removal.
function(tres_test_homes_wipe)
  set(script ${PROJECT_BINARY_DIR}/test-homes-wipe.cmake)
  file(WRITE ${script}
    "if(EXISTS \"${TRES_TEST_HOMES}\")\n"
    "  execute_process(COMMAND chmod -R u+rwX \"${TRES_TEST_HOMES}\")\n"
    "  file(REMOVE_RECURSE \"${TRES_TEST_HOMES}\")\n"
    "endif()\n"
    "file(MAKE_DIRECTORY \"${TRES_TEST_HOMES}\")\n")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# Gives every test registered so far in the calling directory its home and
# the fixture; DISCOVERED names the gtest executables whose tests
# gtest_discover_tests() registers when CTest reads them.
function(tres_isolate_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "DISCOVERED")
  get_property(tests DIRECTORY PROPERTY TESTS)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/test-homes.cmake)
  set(text "")
  foreach(test IN LISTS tests)
    tres_test_home(home ${test})
    get_test_property(${test} ENVIRONMENT own)
    tres_test_env(mods ${home} "${own}")
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT_MODIFICATION ${mods})
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED real-home)
    string(APPEND text "file(MAKE_DIRECTORY \"${home}/.config\" \"${home}/.local/share\")\n")
  endforeach()
  # The discovered tests exist only once their include file has run, which
  # comes before this one: the list gtest_discover_tests() leaves names them.
  foreach(target IN LISTS arg_DISCOVERED)
    string(APPEND text
      "foreach(test IN LISTS ${target}_TESTS)\n"
      "  string(REGEX REPLACE \"[^A-Za-z0-9._-]\" \"_\" leaf \"\${test}\")\n"
      "  set(home \"${TRES_TEST_HOMES}/\${leaf}\")\n"
      "  file(MAKE_DIRECTORY \"\${home}/.config\" \"\${home}/.local/share\")\n"
      "  set_tests_properties(\"\${test}\" PROPERTIES FIXTURES_REQUIRED real-home ENVIRONMENT_MODIFICATION\n"
      "    \"HOME=set:\${home};XDG_CONFIG_HOME=set:\${home}/.config;XDG_DATA_HOME=set:\${home}/.local/share;"
      "XDG_CACHE_HOME=set:\${home}/.cache;XDG_STATE_HOME=set:\${home}/.local/state;VLNK_DIR=set:\${home}/vlnk\")\n"
      "endforeach()\n")
  endforeach()
  file(WRITE ${script} "${text}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# A QtTest program as a test, through tests/qtest.sh, so that a skipped
# function shows as a skipped test and not as a pass.
#   tres_add_qtest(NAME TARGET [ARGUMENTS...])
function(tres_add_qtest name target)
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/qtest.sh $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
