# Code that needs no Windows API: built for the host and for Windows alike.
add_library(vorn_portable STATIC
  decode/lzhuf.cpp
  decode/lzhuf_model.cpp
  engine/container.cpp
  engine/session.cpp
)
target_include_directories(vorn_portable PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
