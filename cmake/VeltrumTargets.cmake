# Helpers that give every library, test and benchmark of the project the same shape.

set(VELTRUM_WARNINGS -Wall -Wextra -Werror)
if(VELTRUM_FUZZ)
  set(VELTRUM_WARNINGS -Wall -Wextra)   # clang warns differently; the gcc builds keep -Werror
endif()

# veltrum_layer_includes(<target> <folder>)
# Gives the target an include folder that holds only <folder> (a link to the source folder),
# made public: a library sees its own headers and those of the libraries it links, so an
# include of a higher layer's header (browser -> viewer -> hdr -> core) fails to build.
function(veltrum_layer_includes target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# veltrum_library(<name> <folder> [DEPS libs...])
# Builds every .cpp in <folder> into a static library. New files join without editing CMake.
function(veltrum_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.c)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    veltrum_layer_includes(${name} ${folder})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  veltrum_layer_includes(${name} ${folder})
  target_compile_options(${name} PRIVATE ${VELTRUM_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
