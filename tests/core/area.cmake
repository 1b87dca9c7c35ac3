# The core tests talk to the product-API stand-in over loopback HTTPS. A ctest fixture makes its
# certificates with openssl, starts it before the core tests and stops it after them; the tests
# read its ports from api_standin/standin.json and trust its CA in the Wine prefix.
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/core/support/ApiStandin.cpp)
target_link_libraries(${TOVIK_AREA_TARGET} PRIVATE crypt32)
set(tovik_standin_dir ${CMAKE_BINARY_DIR}/api_standin)
add_test(NAME core_standin_start COMMAND bash ${PROJECT_SOURCE_DIR}/tools/api_standin/start.sh ${tovik_standin_dir}
         --client-package ${TOVIK_STANDIN_PACKAGE})
add_test(NAME core_standin_stop COMMAND bash ${PROJECT_SOURCE_DIR}/tools/api_standin/stop.sh ${tovik_standin_dir})
set_tests_properties(core_standin_start PROPERTIES FIXTURES_SETUP api_standin)
set_tests_properties(core_standin_stop PROPERTIES FIXTURES_CLEANUP api_standin)
set_tests_properties(core PROPERTIES FIXTURES_REQUIRED api_standin)
