# Run at build time (cmake -P) before the platform library is compiled. The platform's
# include root already holds nothing of the game; this closes the one way around it, a
# relative include that climbs out of src/platform ("../startup/form2.h").
file(GLOB sources "${PLATFORM_DIR}/*.h" "${PLATFORM_DIR}/*.cpp")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include.*\\.\\./")
  if(includes)
    message(FATAL_ERROR "${source}: the platform must not include files outside src/platform: ${includes}")
  endif()
endforeach()
file(TOUCH "${STAMP}")
