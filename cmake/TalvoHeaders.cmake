# Each library offers its own headers and no others, so that a source can include only what its
# target links: a header of a library the target does not link is not found, and the include
# fails to compile. Headers are included by their path from the repository root
# ("platform/core/NativePath.h"), so each library's include directory in the build tree holds
# just that path, a link to the library's folder (or to the headers named).

# talvo_offer_headers(target [DIRECTORY folder] [PREFIX path] [HEADERS header...])
# DIRECTORY: the library's folder, when not the current one.
# PREFIX: the path its users write, the folder's path from the repository root by default.
# HEADERS: only these headers of the folder (a header-only interface beside a library).
function(talvo_offer_headers target)
  cmake_parse_arguments(O "" "DIRECTORY;PREFIX" "HEADERS" ${ARGN})
  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  if(O_DIRECTORY)
    set(folder ${CMAKE_CURRENT_SOURCE_DIR}/${O_DIRECTORY})
  endif()
  if(NOT O_PREFIX)
    file(RELATIVE_PATH O_PREFIX ${CMAKE_SOURCE_DIR} ${folder})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  if(O_HEADERS)
    file(MAKE_DIRECTORY ${root}/${O_PREFIX})
    foreach(header ${O_HEADERS})
      file(CREATE_LINK ${folder}/${header} ${root}/${O_PREFIX}/${header} SYMBOLIC)
    endforeach()
  else()
    get_filename_component(parent ${root}/${O_PREFIX} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${folder} ${root}/${O_PREFIX} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
