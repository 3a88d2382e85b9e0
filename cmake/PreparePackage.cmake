# Run by CPack on the package's files before it packs them.
#
# Debian keeps games in /usr/games, and the game finds its data only from the folder it
# was built for, so a build made for bin/ cannot be packed.
if(NOT CPACK_VARK_INSTALL_BINDIR STREQUAL "games")
  message(FATAL_ERROR "The Debian package needs a build configured with -DVARK_INSTALL_BINDIR=games "
                      "(this one has ${CPACK_VARK_INSTALL_BINDIR}); scripts/package.sh makes one.")
endif()

# The programs, already stripped of their symbols, also lose the compiler's notes, as
# Debian's own packaging tools do.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file ${files})
  if(IS_SYMLINK ${file})
    continue()
  endif()
  file(READ ${file} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND ${CPACK_VARK_STRIP} --remove-section=.comment --remove-section=.note ${file}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
