# Start-up looks for the skin archive in the program's own resources, so the tests carry them too.
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_BINARY_DIR}/TovikSetup.rc)
add_dependencies(${TOVIK_AREA_TARGET} tovik_skin_archive)

# The install worker's tests run whole installs against the product-API stand-in of the core tests,
# which serves the stand-in client package under the switch "pkg=client".
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${PROJECT_SOURCE_DIR}/tests/core/support/ApiStandin.cpp)
target_link_libraries(${TOVIK_AREA_TARGET} PRIVATE crypt32)
target_compile_definitions(${TOVIK_AREA_TARGET} PRIVATE TOVIK_TEST_CLIENT_PACKAGE_SWITCHES="pkg=client")
add_dependencies(${TOVIK_AREA_TARGET} tovik_standin_package)
set_tests_properties(setup PROPERTIES FIXTURES_REQUIRED api_standin)
