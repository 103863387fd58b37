# SPDX-License-Identifier: GPL-3.0-or-later
# The PostgreSQL back end against a real server that the suite starts on a
# Unix socket in the build tree and stops when the tests end (the fixture
# "postgres"). Without the server binaries the tests have no connection
# string and skip, or fail under CI=true.
add_executable(pg-tests tst_pgconnection.cpp tst_pglocation.cpp)
target_link_libraries(pg-tests PRIVATE tresarchive GTest::gtest_main)
target_include_directories(pg-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)

# Registered when CMake runs (not discovered), so that the fixture and the
# connection strings stay on each test beside the home every test gets.
gtest_add_tests(TARGET pg-tests SOURCES tst_pglocation.cpp TEST_PREFIX "archive." TEST_LIST pg_location_tests)
gtest_add_tests(TARGET pg-tests SOURCES tst_pgconnection.cpp TEST_PREFIX "archive." TEST_LIST pg_server_tests)
set_tests_properties(${pg_location_tests} ${pg_server_tests} PROPERTIES
  LABELS archive SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

set(TRES_PG_BIN /usr/lib/postgresql/15/bin)
if(EXISTS ${TRES_PG_BIN}/initdb)
  set(pg_dir ${PROJECT_BINARY_DIR}/pg)
  set(pg_script ${CMAKE_CURRENT_SOURCE_DIR}/pgcluster.sh)
  add_test(NAME archive.pg-start COMMAND sh ${pg_script} start ${pg_dir})
  add_test(NAME archive.pg-stop COMMAND sh ${pg_script} stop ${pg_dir})
  set_tests_properties(archive.pg-start PROPERTIES FIXTURES_SETUP postgres LABELS archive TIMEOUT 120)
  set_tests_properties(archive.pg-stop PROPERTIES FIXTURES_CLEANUP postgres LABELS archive TIMEOUT 60)
  # The store's cases written for both back ends, here on the server (each
  # in a schema of its own); discovered, they skip without it.
  add_test(NAME archive.store-on-postgres COMMAND archive-tests --gtest_filter=*/Postgres:ArchiveStoreOnServer.*)
  list(APPEND pg_server_tests archive.store-on-postgres)
  set_tests_properties(${pg_server_tests} PROPERTIES FIXTURES_REQUIRED postgres TIMEOUT 120 ENVIRONMENT
    "TRES_TEST_PG=host=${pg_dir} dbname=tres_test user=tres_writer;TRES_TEST_PG_READONLY=host=${pg_dir} dbname=tres_test user=tres_reader;TRES_TEST_PG_NOGIS=host=${pg_dir} dbname=tres_test_nogis user=tres_writer")
endif()
