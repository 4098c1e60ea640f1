# Host configuration: vornpack, the GoogleTest suites and the benchmarks.
option(VORN_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
if(VORN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
include(GoogleTest)

foreach(dir tools tests/host bench)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
