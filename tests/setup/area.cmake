# Start-up looks for the skin archive in the program's own resources, so the tests carry them too.
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_BINARY_DIR}/TovikSetup.rc)
add_dependencies(${TOVIK_AREA_TARGET} tovik_skin_archive)
