# Helpers that give every library, test and benchmark of the project the same shape.

set(VELTRUM_WARNINGS -Wall -Wextra -Werror)
if(VELTRUM_FUZZ)
  set(VELTRUM_WARNINGS -Wall -Wextra)   # clang warns differently; the gcc builds keep -Werror
endif()

# veltrum_library(<name> <folder> [DEPS libs...])
# Builds every .cpp in <folder> into a static library. New files join without editing CMake.
function(veltrum_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.c)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELTRUM_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
