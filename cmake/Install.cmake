# Installing the game like any desktop game: the program in bin, its data and companion
# programs below the prefix, a desktop entry with an icon, AppStream metadata and a man
# page; and a Debian package made from the same rules by CPack.

set(VARK_APP_ID org.projectvark.Vark)
set(VARK_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
configure_file(packaging/vark.metainfo.xml.in ${VARK_PACKAGING_DIR}/${VARK_APP_ID}.metainfo.xml @ONLY)
configure_file(packaging/vark.6.in ${VARK_PACKAGING_DIR}/vark.6 @ONLY)

install(TARGETS vark RUNTIME DESTINATION ${VARK_INSTALL_BINDIR})
install(TARGETS setup_program RUNTIME DESTINATION ${VARK_INSTALL_PROGRAMSDIR})
# The safe-mode program is the set-up program under its second name.
install(CODE "set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VARK_INSTALL_PROGRAMSDIR}/KELPSafe.exe\")
  file(CREATE_LINK RIZAVORUV.exe \"\${link}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")")
# The data folder is everything the content tool wrote beside the game, without the
# programs and without profiles of anyone who played from the build tree.
install(DIRECTORY ${GAME_DIR}/ DESTINATION ${VARK_INSTALL_DATADIR}
  PATTERN "vark" EXCLUDE
  PATTERN "RIZAVORUV.exe" EXCLUDE
  PATTERN "KELPSafe.exe" EXCLUDE
  PATTERN "*.pro" EXCLUDE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor)
install(FILES packaging/vark.desktop DESTINATION share/applications RENAME ${VARK_APP_ID}.desktop)
install(FILES ${VARK_PACKAGING_DIR}/${VARK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${VARK_PACKAGING_DIR}/vark.6 DESTINATION share/man/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vark)
set(CPACK_PACKAGE_VENDOR "The Project: VARK developers")
set(CPACK_PACKAGE_CONTACT "The Project: VARK developers <vark@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Arcade collection: a shooter, a quiz, a memory game and a voxel intro")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# What the game loads at run time: the SDL2 family (pictures, sound, fonts), FluidSynth
# and a soundfont for the tunes, the fonts it draws with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsdl2-2.0-0, libsdl2-image-2.0-0, libsdl2-mixer-2.0-0, libsdl2-ttf-2.0-0, libfluidsynth3, timgm6mb-soundfont, fonts-dejavu-core, fonts-paratype, libfontconfig1, libc6, libstdc++6")
include(CPack)
