# The wizard's icon and skin archive, made from the editable sources in skin/ at build time.
set(TOVIK_MANIFEST_PATH "${CMAKE_BINARY_DIR}/TovikSetup.manifest")
set(TOVIK_ICON_PATH "${CMAKE_BINARY_DIR}/skin/app.ico")
set(TOVIK_SKIN_ARCHIVE_PATH "${CMAKE_BINARY_DIR}/skin/skin.zip")
set(TOVIK_SKIN_PASSWORD "Qm7rTe2K")

file(GLOB_RECURSE TOVIK_SKIN_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/skin/*")
add_custom_command(
  OUTPUT "${TOVIK_ICON_PATH}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/skin"
  COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/make-icon.sh" "${PROJECT_SOURCE_DIR}/skin/icon/app.svg" "${TOVIK_ICON_PATH}"
  DEPENDS "${PROJECT_SOURCE_DIR}/skin/icon/app.svg" "${PROJECT_SOURCE_DIR}/scripts/make-icon.sh" "${PROJECT_SOURCE_DIR}/tools/make_ico.py"
  VERBATIM)
add_custom_command(
  OUTPUT "${TOVIK_SKIN_ARCHIVE_PATH}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/skin"
  COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/pack-skin.sh" "${PROJECT_SOURCE_DIR}/skin" "${TOVIK_SKIN_ARCHIVE_PATH}" "${TOVIK_SKIN_PASSWORD}"
  DEPENDS ${TOVIK_SKIN_SOURCES} "${PROJECT_SOURCE_DIR}/scripts/pack-skin.sh"
  VERBATIM)
add_custom_target(tovik_skin_archive DEPENDS "${TOVIK_SKIN_ARCHIVE_PATH}" "${TOVIK_ICON_PATH}")
