# The installer, vorn-setup.exe: the engine, shell and wizard code, the wizard's
# resources and the payload resource in one GUI executable, checked after the
# link exactly as it will read itself. The i686 tree's copy is the deliverable.
include(${CMAKE_CURRENT_LIST_DIR}/Payload.cmake)

add_executable(vorn-setup WIN32
  ${CMAKE_SOURCE_DIR}/wizard/main.cpp
  $<TARGET_OBJECTS:vorn_engine>
  $<TARGET_OBJECTS:vorn_shell>
  $<TARGET_OBJECTS:vorn_wizard>
  $<TARGET_OBJECTS:vorn_payload_resource>)
# The dialog template, icons and manifest (cmake/Resources.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
vorn_add_wizard_resources(vorn-setup)
# Windows system DLLs only; the GCC runtime is linked in (Windows.cmake).
target_link_libraries(vorn-setup PRIVATE vorn_portable
  user32 gdi32 shell32 ole32 advapi32 comctl32 comdlg32 uuid)
set_target_properties(vorn-setup PROPERTIES OUTPUT_NAME vorn-setup)

# vorn_installer_entry(TARGET): the program starts in wizard/main.cpp's
# installerEntry, without the C runtime's start-up code.
function(vorn_installer_entry target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry _installerEntry@0)   # stdcall name on i686
  else()
    set(entry installerEntry)
  endif()
  target_link_options(${target} PRIVATE -nostartfiles -Wl,--entry=${entry})
endfunction()
vorn_installer_entry(vorn-setup)

# The check runs on every link. On failure it deletes the exe, so that the next
# build links and checks it again instead of taking it as up to date.
set(installer_check ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/check_installer.py)
set(copy_args)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(copy_args --copy-to ${VORN_OUT_DIR}/vorn-setup.exe)
endif()
add_custom_command(TARGET vorn-setup POST_BUILD
  COMMAND ${installer_check} link-check
          --exe $<TARGET_FILE:vorn-setup> --payload ${VORN_PAYLOAD}
          --crc-header ${VORN_PAYLOAD_CRC_HEADER} --product ${VORN_PAYLOAD_PRODUCT_DIR}
          --vornpack ${VORNPACK} ${copy_args}
  VERBATIM)

# The deliverable's form: PE32 i686 GUI, system DLLs only, stub size reported.
# It runs on Linux, so it is registered whether or not the Wine tests are.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME installer_form
           COMMAND ${installer_check} form --exe $<TARGET_FILE:vorn-setup>
                   --payload ${VORN_PAYLOAD} --objdump ${CMAKE_OBJDUMP})
endif()
