# One library per layer. A layer's headers are reachable only through an include root of its
# own, which a target gets by linking the layer: "#include "db/Error.h"" compiles where db is
# linked and fails everywhere else, so an include against the direction of the layers breaks
# the build. The root holds one forwarding header per header of the layer, so that an edit of
# the real header is seen at once, on every platform, without links in the file system.
function(add_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "HEADERS;EXCLUDE;SOURCES;PUBLIC;PRIVATE")
  add_library(${target} STATIC ${LAYER_SOURCES})
  expose_headers(${target} HEADERS ${LAYER_HEADERS} EXCLUDE ${LAYER_EXCLUDE})
  target_link_libraries(${target} PUBLIC ${LAYER_PUBLIC} PRIVATE ${LAYER_PRIVATE} project_warnings)
endfunction()

# The include root of target: forwarding headers for HEADERS (globs below src/) without EXCLUDE.
function(expose_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 EXPOSE "" "" "HEADERS;EXCLUDE")
  set(source_root "${PROJECT_SOURCE_DIR}/src")
  set(root "${PROJECT_BINARY_DIR}/layers/${target}")
  set(wanted "")
  foreach(pattern IN LISTS EXPOSE_HEADERS)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE "${source_root}" "${source_root}/${pattern}")
    list(APPEND wanted ${headers})
  endforeach()
  if(EXPOSE_EXCLUDE)
    list(REMOVE_ITEM wanted ${EXPOSE_EXCLUDE})
  endif()
  foreach(header IN LISTS wanted)
    # Written only when its text changes, so that configuring again rebuilds nothing.
    file(CONFIGURE OUTPUT "${root}/${header}" CONTENT "#include \"${source_root}/${header}\"\n" @ONLY)
  endforeach()
  # A header moved away or removed must not stay reachable.
  file(GLOB_RECURSE present RELATIVE "${root}" "${root}/*.h")
  list(REMOVE_ITEM present ${wanted})
  foreach(stale IN LISTS present)
    file(REMOVE "${root}/${stale}")
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
