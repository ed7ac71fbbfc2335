# Include roots that keep the dependency direction: the tool (src/) and the editor
# (kernova/) each see common/, never each other. An include across the wrong boundary
# fails to compile because the other tree is on no include path of the target.

# Makes "<folder>/..." includable by `target` and whatever links it: a folder of the
# build tree holds only a link to the source folder, so nothing beside it is reachable.
function(dz_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# The tool's libraries include each other as "area/File.h" from src/.
function(dz_tool_libraries)
  foreach(target ${ARGN})
    get_target_property(type ${target} TYPE)
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE_LIBRARY")
      set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} ${scope} dz_common)
  endforeach()
endfunction()
