# UI test fixtures (canvas, PNG writer, test controls and host window) shared by the UI test files,
# and the small enciphered skin archive the skin-archive tests read (built into the build tree).
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/ui/UiTestSupport.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/ui/UiTestControls.cpp)
set(TOVIK_UI_SKIN_FIXTURE "${CMAKE_BINARY_DIR}/tests/ui-fixtures/skin.zip")
add_custom_command(OUTPUT "${TOVIK_UI_SKIN_FIXTURE}"
  COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/ui/make-skin-fixture.sh" "${TOVIK_UI_SKIN_FIXTURE}" "Qm7rTe2K"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/ui/make-skin-fixture.sh" VERBATIM)
add_custom_target(tovik_ui_fixtures DEPENDS "${TOVIK_UI_SKIN_FIXTURE}")
add_dependencies(${TOVIK_AREA_TARGET} tovik_ui_fixtures)
