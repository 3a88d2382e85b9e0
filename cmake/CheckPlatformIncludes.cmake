# Run at build time (cmake -P) before the platform library is compiled. The platform's
# include root already holds nothing of the game; this closes the ways around it: a quoted
# include of anything but a platform header (or the generated build facts), an include by
# absolute path, and a path that climbs out of a folder ("../startup/form2.h").
file(GLOB_RECURSE sources "${PLATFORM_DIR}/*.h" "${PLATFORM_DIR}/*.cpp")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(include IN LISTS includes)
    string(REGEX MATCH "[<\"]([^>\"]*)[>\"]" quoted "${include}")
    set(path "${CMAKE_MATCH_1}")
    if(path MATCHES "^/" OR path MATCHES "\\.\\." OR include MATCHES "^[^\"]*\"" AND NOT path MATCHES "^platform/([a-z]+/)?[^/]+$"
       AND NOT path STREQUAL "vark_build_info.h")
      message(FATAL_ERROR "${source}: the platform must not include files outside src/platform: ${include}")
    endif()
  endforeach()
endforeach()
file(TOUCH "${STAMP}")
