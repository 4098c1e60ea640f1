# Windows configuration: the installer (i686, the deliverable) and, where this
# machine's Wine runs them, the Windows test programs.
option(VORN_WINE_TESTS "Register the Windows tests that run under Wine" OFF)
set(VORN_PRODUCT_DIR ${CMAKE_SOURCE_DIR}/sample CACHE PATH "Folder with the ten product files")
set(VORNPACK "" CACHE FILEPATH "The host-built vornpack")
if(NOT VORNPACK)
  message(FATAL_ERROR "Set VORNPACK to the host-built vornpack (the Makefile does)")
endif()

# Small and self-contained: no exceptions, no RTTI, the GCC runtime linked in,
# and no link timestamp, so that two builds give the same bytes.
# No -fdata-sections: MinGW then puts zero-initialised objects into .data, where
# they take room in the file.
add_compile_options(-Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                    -ffunction-sections -Wall)
add_compile_definitions(STRICT _WIN32_WINNT=0x0501 WINVER=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections
                 -Wl,--no-insert-timestamp -s)
# vorn_portable was defined before these options; it keeps its optimisation level
# (the decoder's speed matters) but sheds exceptions and unwind tables too.
target_compile_options(vorn_portable PRIVATE -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                       -ffunction-sections)

foreach(dir engine shell wizard sample)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/Installer.cmake)
  include(cmake/Installer.cmake)
endif()

if(VORN_WINE_TESTS)
  include(cmake/WineTest.cmake)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/win/CMakeLists.txt)
    add_subdirectory(tests/win)
  endif()
endif()
