# ralvek_library(<target> DEPS <targets...>)
# One static library per folder, made of every .cpp/.h directly in that folder.
# New files are picked up at the next build (CONFIGURE_DEPENDS), so adding a
# source never needs a CMake edit. A folder without sources yet is an
# INTERFACE library that only forwards its dependencies.
function(ralvek_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(sources)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${sources} ${headers})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()
