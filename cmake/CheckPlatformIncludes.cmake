# Run at build time (cmake -P) before the platform library is compiled. The platform's
# include root already holds nothing of the game; this closes the ways around it (a quoted
# include of anything but a platform header or the generated build facts, an include by
# absolute path, a path that climbs out of a folder) and keeps the platform's rooms in
# their layers: each room includes only the rooms below it, so no two rooms depend on each
# other. The files at the platform's top (platform.h, platform.cpp) may include any room.
#
#   base     owned handles, units, UTF-8, the run's state: nothing below it
#   files    plain and durable files, settings, text, paths, picture decoding
#   runtime  the clock, timers, the event loop (which knows the rooms above only through
#            the parts the top connects)
#   video    the window, pictures, fonts, presenting, display modes
#   sound    decoding, the mixer, channels
#   forms    forms and controls, the screen that composes them
#   input    input routing, the focus ring, controllers, command keys
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)
set(allowed_base "")
set(allowed_files base)
set(allowed_runtime base)
set(allowed_video base files)
set(allowed_sound base files runtime)
set(allowed_forms base files runtime video sound)
set(allowed_input base files runtime video sound forms)

file(GLOB_RECURSE sources "${PLATFORM_DIR}/*.h" "${PLATFORM_DIR}/*.cpp")
set(problems "")
foreach(source IN LISTS sources)
  file(RELATIVE_PATH relative "${PLATFORM_DIR}" "${source}")
  string(REGEX MATCH "^([a-z_]+)/" in_room "${relative}")
  set(room "${CMAKE_MATCH_1}")
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(include IN LISTS includes)
    string(REGEX MATCH "[<\"]([^>\"]*)[>\"]" quoted "${include}")
    set(path "${CMAKE_MATCH_1}")
    if(path MATCHES "^/" OR path MATCHES "\\.\\." OR include MATCHES "^[^\"]*\"" AND NOT path MATCHES "^platform/([a-z_]+/)?[^/]+$"
       AND NOT path STREQUAL "vark_build_info.h")
      list(APPEND problems "${relative}: the platform must not include files outside src/platform: ${include}")
      continue()
    endif()
    if(room STREQUAL "" OR NOT path MATCHES "^platform/([a-z_]+)/")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    if(NOT target STREQUAL room AND NOT target IN_LIST allowed_${room})
      list(APPEND problems "${relative}: ${room}/ must not include ${target}/ (it may include: ${allowed_${room}}): ${include}")
    endif()
  endforeach()
endforeach()
if(problems)
  list(JOIN problems "\n" text)
  message(FATAL_ERROR "${text}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
