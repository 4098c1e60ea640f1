# The wizard's resources (wizard/res/installer.rc): the dialog template, the
# manifest and two icons drawn as text in wizard/res/icons.txt, which
# make_icons.py turns into .ico files inside the build tree.
#   vorn_add_wizard_resources(TARGET) compiles the resources into TARGET.
include_guard(GLOBAL)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(VORN_RESOURCE_DIR ${CMAKE_BINARY_DIR}/generated/res)
set(VORN_ICON_FILES ${VORN_RESOURCE_DIR}/vorn_icon1.ico ${VORN_RESOURCE_DIR}/vorn_icon2.ico)
add_custom_command(
  OUTPUT ${VORN_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORN_RESOURCE_DIR}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/wizard/res/make_icons.py
          ${CMAKE_SOURCE_DIR}/wizard/res/icons.txt ${VORN_RESOURCE_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/wizard/res/icons.txt ${CMAKE_SOURCE_DIR}/wizard/res/make_icons.py
  COMMENT "Drawing the installer's icons")
add_custom_target(vorn_icons DEPENDS ${VORN_ICON_FILES})

function(vorn_add_wizard_resources target)
  set(rc ${CMAKE_SOURCE_DIR}/wizard/res/installer.rc)
  target_sources(${target} PRIVATE ${rc})
  # windres looks for the icon and manifest files in the include directories.
  target_include_directories(${target} PRIVATE
    ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/wizard/res ${VORN_RESOURCE_DIR})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
    "${VORN_ICON_FILES};${CMAKE_SOURCE_DIR}/wizard/res/vorn.manifest;${CMAKE_SOURCE_DIR}/wizard/controls.h")
  add_dependencies(${target} vorn_icons)
endfunction()
