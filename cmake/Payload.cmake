# The payload: vornpack builds it from the product folder at build time, together
# with the header that gives the build its PAYLOAD_CRC. It reaches programs as the
# raw-data resource "VORN_DAT" in the object library vorn_payload_resource; the
# installer and the Windows test programs that need their own payload link it.
#
# VORN_PRODUCT_DIR is either the default sample/ (then the product folder is the
# one the sample build generates in this tree) or a folder holding the ten files.
enable_language(RC)

set(VORN_SLOT_FILES vorn.exe vorn.hlp ircintro.hlp readme.txt versions.txt
                    vorn.ini aliases.ini popups.ini servers.ini urls.ini)

get_filename_component(product_real ${VORN_PRODUCT_DIR} REALPATH)
get_filename_component(sample_real ${CMAKE_SOURCE_DIR}/sample REALPATH)
if(product_real STREQUAL sample_real)
  set(VORN_PAYLOAD_PRODUCT_DIR ${VORN_SAMPLE_PRODUCT_DIR})
  set(product_target vorn_sample_product)
else()
  set(VORN_PAYLOAD_PRODUCT_DIR ${product_real})
  set(product_target "")
  list(JOIN VORN_SLOT_FILES ", " slot_list)
  foreach(name ${VORN_SLOT_FILES})
    if(NOT EXISTS ${VORN_PAYLOAD_PRODUCT_DIR}/${name})
      message(FATAL_ERROR "VORN_PRODUCT_DIR ${VORN_PAYLOAD_PRODUCT_DIR} has no file ${name}; "
                          "a product folder holds the ten files ${slot_list}")
    endif()
  endforeach()
endif()

set(product_files ${VORN_SLOT_FILES})
list(TRANSFORM product_files PREPEND ${VORN_PAYLOAD_PRODUCT_DIR}/)

set(VORN_PAYLOAD ${CMAKE_BINARY_DIR}/payload/payload.bin)
set(VORN_PAYLOAD_CRC_HEADER ${CMAKE_BINARY_DIR}/generated/payload_crc.h)
# vornpack rewrites the header only when the CRC changes, so it is a by-product:
# what includes it recompiles only then.
add_custom_command(
  OUTPUT ${VORN_PAYLOAD}
  BYPRODUCTS ${VORN_PAYLOAD_CRC_HEADER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/payload ${CMAKE_BINARY_DIR}/generated
  COMMAND ${VORNPACK} build ${VORN_PAYLOAD_PRODUCT_DIR} -o ${VORN_PAYLOAD} --header ${VORN_PAYLOAD_CRC_HEADER}
  DEPENDS ${product_files} ${VORNPACK}
  COMMENT "Building the payload from ${VORN_PAYLOAD_PRODUCT_DIR}"
  VERBATIM)
add_custom_target(vorn_payload DEPENDS ${VORN_PAYLOAD})
if(product_target)
  add_dependencies(vorn_payload ${product_target})
endif()
# payload.h includes the generated header; any of these may include payload.h.
foreach(library vorn_engine vorn_shell vorn_wizard)
  add_dependencies(${library} vorn_payload)
endforeach()

# Resource type 10 is RCDATA. Written only when its text changes, so that a new
# configure run rebuilds nothing.
set(payload_rc ${CMAKE_BINARY_DIR}/payload/payload.rc)
file(CONFIGURE OUTPUT ${payload_rc}
     CONTENT "// Generated: the payload as the raw-data resource the installer carries.\nVORN_DAT RCDATA \"${VORN_PAYLOAD}\"\n")
add_library(vorn_payload_resource OBJECT ${payload_rc})
set_source_files_properties(${payload_rc} PROPERTIES OBJECT_DEPENDS ${VORN_PAYLOAD})
add_dependencies(vorn_payload_resource vorn_payload)
