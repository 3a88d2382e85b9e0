# The browser build, configured by scripts/web.sh through emscripten's emcmake. The same
# sources as the desktop's; a platform file NAME_web.cpp stands in for NAME.cpp where the
# browser differs (the wait for input, saving, starting a program, fonts, the window
# manager, MIDI). The libraries are built from Debian's sources into VARK_WEB_ROOT; the data the
# page loads (the game's files, fonts and tunes, laid out as the installed game's) comes
# from VARK_WEB_DATA.
set(VARK_WEB_ROOT "" CACHE PATH "Folder holding the libraries built for the browser")
set(VARK_WEB_DATA "" CACHE PATH "Folder holding the files the page loads, laid out from /")
if(NOT IS_DIRECTORY "${VARK_WEB_ROOT}/lib" OR NOT IS_DIRECTORY "${VARK_WEB_DATA}")
  message(FATAL_ERROR "The web build needs VARK_WEB_ROOT and VARK_WEB_DATA (scripts/web.sh gives them)")
endif()

# Exceptions as the desktop has them; emscripten's EM_JS names carry a '$'.
add_compile_options(-fexceptions -Wno-dollar-in-identifier-extension)
add_link_options(-fexceptions)

# By path, not -lNAME: emscripten takes -lSDL2 and the like as a request for its own ports.
add_library(vark_web_libraries INTERFACE)
target_include_directories(vark_web_libraries INTERFACE ${VARK_WEB_ROOT}/include ${VARK_WEB_ROOT}/include/SDL2)
foreach(library SDL2_ttf freetype SDL2_image png16 jpeg z SDL2_mixer SDL2 mpg123 gif)
  target_link_libraries(vark_web_libraries INTERFACE ${VARK_WEB_ROOT}/lib/lib${library}.a)
endforeach()
set(VARK_PLATFORM_LIBRARIES vark_web_libraries)

# Leaves out of `sources` each file that a NAME_web.cpp beside it stands in for.
function(vark_web_sources sources)
  set(kept ${${sources}})
  foreach(file ${${sources}})
    if(file MATCHES "^(.*)_web\\.cpp$")
      list(REMOVE_ITEM kept "${CMAKE_MATCH_1}.cpp")
    endif()
  endforeach()
  set(${sources} ${kept} PARENT_SCOPE)
endfunction()

# The page's program: the game and the set-up program in one (web/main.cpp), which yields
# to the browser while it waits (ASYNCIFY), keeps the player's files in IndexedDB and
# needs no threads.
function(vark_web_program)
  set(page_script ${CMAKE_SOURCE_DIR}/web/pre.js)
  # SDL's browser back end calls these helpers; emscripten adds them only for its own SDL.
  # (From a file: a '$' in a link option does not reach the linker unharmed.)
  set(sdl_helpers ${CMAKE_BINARY_DIR}/sdl_helpers.json)
  file(WRITE ${sdl_helpers} "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
  add_executable(vark_web ${CMAKE_SOURCE_DIR}/web/main.cpp)
  target_link_libraries(vark_web PRIVATE vark_game vark_setup)
  set_target_properties(vark_web PROPERTIES OUTPUT_NAME vark SUFFIX .js LINK_DEPENDS ${page_script})
  target_link_options(vark_web PRIVATE
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=131072
    -sINITIAL_MEMORY=67108864 -sALLOW_MEMORY_GROWTH=1
    -lidbfs.js --pre-js ${page_script}
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${sdl_helpers}
    --preload-file ${VARK_WEB_DATA}@/)
endfunction()
