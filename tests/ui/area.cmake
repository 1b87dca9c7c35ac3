# UI test fixtures (canvas, PNG writer, test controls and host window) shared by the UI test files.
target_sources(${TOVIK_AREA_TARGET} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/ui/UiTestSupport.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/ui/UiTestControls.cpp)
