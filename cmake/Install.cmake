# Installing the game like any desktop game: the program in bin (games in the Debian
# packages), its data and companion programs below the prefix, a desktop entry with an
# icon, AppStream metadata with the README's screenshots, the man page, a README and the
# copyright and changelog; and two Debian packages made from the same rules by CPack, as
# Debian's own games come: vark with the programs (component game) and the
# architecture-independent vark-data with everything under share/vark (component data).

# The application's id in AppStream's form, all lower case (org.projectvark.Vark before,
# which the AppStream data still names as the id it replaces).
set(VARK_APP_ID org.projectvark.vark)
set(VARK_HOMEPAGE https://vark-game.org/)
file(GLOB VARK_SCREENSHOTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/screenshots/*.png)
set(VARK_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
configure_file(packaging/vark.metainfo.xml.in ${VARK_PACKAGING_DIR}/${VARK_APP_ID}.metainfo.xml @ONLY)
configure_file(packaging/vark.6.in ${VARK_PACKAGING_DIR}/vark.6 @ONLY)

# The man page and the changelog are installed compressed, without a time stamp in the
# compressed file, so two builds give the same bytes.
set(VARK_COMPRESSED_DOCS)
foreach(doc ${VARK_PACKAGING_DIR}/vark.6 ${CMAKE_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${doc} NAME)
  add_custom_command(OUTPUT ${VARK_PACKAGING_DIR}/${name}.gz
    COMMAND gzip -9 -n -c ${doc} > ${VARK_PACKAGING_DIR}/${name}.gz
    DEPENDS ${doc})
  list(APPEND VARK_COMPRESSED_DOCS ${VARK_PACKAGING_DIR}/${name}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${VARK_COMPRESSED_DOCS})
# Everything the rules below install, built without the tests (scripts/run.sh).
add_custom_target(installable)
add_dependencies(installable vark setup_programs gamedata window_icon compressed_docs)

install(TARGETS vark RUNTIME DESTINATION ${VARK_INSTALL_BINDIR} COMPONENT game)
install(TARGETS setup_program RUNTIME DESTINATION ${VARK_INSTALL_PROGRAMSDIR} COMPONENT game)
# The safe-mode program is the set-up program under its second name.
install(CODE "set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VARK_INSTALL_PROGRAMSDIR}/KELPSafe.exe\")
  file(CREATE_LINK RIZAVORUV.exe \"\${link}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")" COMPONENT game)
# The data folder is everything the content tool wrote beside the game, without the
# programs and without profiles of anyone who played from the build tree.
install(DIRECTORY ${GAME_DIR}/ DESTINATION ${VARK_INSTALL_DATADIR} COMPONENT data
  PATTERN "vark" EXCLUDE
  PATTERN "RIZAVORUV.exe" EXCLUDE
  PATTERN "KELPSafe.exe" EXCLUDE
  PATTERN "*.pro" EXCLUDE)
install(FILES ${VARK_SCREENSHOTS} DESTINATION ${VARK_INSTALL_DATADIR}/screenshots COMPONENT data)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor COMPONENT data)
install(FILES packaging/vark.desktop DESTINATION share/applications RENAME ${VARK_APP_ID}.desktop COMPONENT game)
install(FILES ${VARK_PACKAGING_DIR}/${VARK_APP_ID}.metainfo.xml DESTINATION share/metainfo COMPONENT game)
install(FILES ${VARK_PACKAGING_DIR}/vark.6.gz DESTINATION share/man/man6 COMPONENT game)
install(FILES packaging/README packaging/copyright ${VARK_PACKAGING_DIR}/changelog.gz DESTINATION share/doc/vark
  COMPONENT game)
install(FILES packaging/copyright ${VARK_PACKAGING_DIR}/changelog.gz DESTINATION share/doc/vark-data COMPONENT data)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vark)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game data)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME vark)
set(CPACK_DEBIAN_DATA_PACKAGE_NAME vark-data)
set(CPACK_DEBIAN_PACKAGE_SOURCE vark)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARK_HOMEPAGE})
set(CPACK_PACKAGE_VENDOR "Project VARK developers")
set(CPACK_PACKAGE_CONTACT "Project VARK developers <developers@vark-game.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The descriptions: the first line is the summary; CPack indents the rest and turns the
# empty lines into Debian's paragraph marks; the indented list stays as written.
set(VARK_SUMMARY "arcade collection: shooter, quiz, memory game, voxel intro")
set(CPACK_DEBIAN_GAME_DESCRIPTION "${VARK_SUMMARY}
Project: VARK is a collection of arcade games for one player, with a
Russian interface. Make a profile with a face and a name, then choose a game:
  - АТАКА КАКОДЕМОНОВ, a shooter: monsters come down on your cannon;
  - СЛЕГКА ПОVARKАЕМ, a quiz: answer seven questions in a row;
  - ТЕЛЕПОРТЕРЫ, a memory game: find the pairs before time runs out;
  - an intro that flies over a landscape made of voxels.
All pictures, sounds and tunes are made by the game's own generator.

Сборник аркад для одного игрока на русском языке: стрелялка против
монстров, викторина из семи вопросов, игра на память на время и полёт
над воксельным пейзажем. Создайте профиль с лицом и именем и выберите
игру. Настройки открываются из меню (действие «Настройка») или
командой vark --setup.")
set(CPACK_DEBIAN_DATA_DESCRIPTION "${VARK_SUMMARY} - data
The pictures, sounds, tunes, faces, quiz questions and icons of Project: VARK,
an arcade collection with a Russian interface, the same on every architecture.
The game itself is in the package vark.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries, with their versions, come from what the programs link
# (dpkg-shlibdeps); listed by hand is only what the game finds by name at run time: the
# soundfont for the tunes and the fonts it draws with.
# The programs find their data only in the vark-data of their own version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
  "vark-data (= ${PROJECT_VERSION}), timgm6mb-soundfont, fonts-dejavu-core, fonts-paratype")
# A package puts the game where Debian keeps games (a build for another layout is
# refused), and its programs carry no compiler notes.
set(CPACK_VARK_INSTALL_BINDIR ${VARK_INSTALL_BINDIR})
set(CPACK_VARK_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PreparePackage.cmake)
include(CPack)
