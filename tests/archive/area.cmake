# The Info-ZIP archives the archive tests read are made at test time, into the build tree, by a
# ctest fixture that runs before the archive tests.
set(TOVIK_ZIP_FIXTURES "${CMAKE_BINARY_DIR}/tests/archive-fixtures")
add_test(NAME archive_fixtures
         COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/make-zip-fixtures.sh" "${TOVIK_ZIP_FIXTURES}")
set_tests_properties(archive_fixtures PROPERTIES FIXTURES_SETUP zip_fixtures)
set_tests_properties(archive PROPERTIES FIXTURES_REQUIRED zip_fixtures)
