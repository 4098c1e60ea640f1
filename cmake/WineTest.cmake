# Windows test programs run under Wine from ctest. Each test gets a prefix and a
# home of its own inside the build tree (tests/wine/run.sh); the run boots one
# template prefix and starts one virtual display (tests/wine/prefix.sh).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VORN_WINE /usr/lib/wine/wine64)
  set(VORN_WINESERVER /usr/lib/wine/wineserver64)
else()
  set(VORN_WINE /usr/lib/wine/wine)
  set(VORN_WINESERVER /usr/lib/wine/wineserver32)
endif()
set(VORN_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

add_test(NAME wine_setup COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prefix.sh setup
         ${VORN_WINE_ROOT} ${VORN_WINE} ${VORN_WINESERVER})
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_cleanup COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prefix.sh cleanup
         ${VORN_WINE_ROOT} ${VORN_WINESERVER})
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine)

# vorn_add_wine_test(NAME PROGRAM_TARGET [ARGS...]): runs the target's executable
# under Wine; ARGS may use generator expressions.
function(vorn_add_wine_test name target)
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run.sh ${name} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT 300
    ENVIRONMENT "VORN_WINE_ROOT=${VORN_WINE_ROOT};VORN_WINE=${VORN_WINE};VORN_WINESERVER=${VORN_WINESERVER}")
endfunction()
