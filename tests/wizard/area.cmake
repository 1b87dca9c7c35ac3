# The wizard's own tests drive the real window and message box (in this program, with the skin from
# its resources) and the real TovikSetup.exe (end to end, against the product-API stand-in that the
# core tests' fixture starts). Screenshots go to <build>/screenshots.
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_BINARY_DIR}/TovikSetup.rc
               ${CMAKE_CURRENT_SOURCE_DIR}/wizard/WizardTestSupport.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/wizard/PngWriter.cpp
               ${PROJECT_SOURCE_DIR}/tests/core/support/ApiStandin.cpp)
target_link_libraries(${TOVIK_AREA_TARGET} PRIVATE crypt32 tovik_stb)
add_dependencies(${TOVIK_AREA_TARGET} tovik_skin_archive tovik_standin_package)
set_tests_properties(wizard PROPERTIES FIXTURES_REQUIRED api_standin)
# The wizard and the install worker's tests both install into this Wine prefix and write the one
# uninstall entry: never at the same time.
set_tests_properties(wizard setup PROPERTIES RESOURCE_LOCK tovik_install_state)
