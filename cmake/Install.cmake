# What `cmake --install` puts under the prefix, and the build tree's copy of the manual.
# The help opener looks for the manual at ../share/corvane/manual beside the program's folder,
# so the build tree keeps that layout too (programs in src/, the manual in share/).
include(GNUInstallDirs)

set(CORVANE_APP_ID com.quillon.corvane)
set(CORVANE_MANUAL_DIR share/corvane/manual)

file(GLOB CORVANE_MANUAL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/manual/*)
foreach(manual_file IN LISTS CORVANE_MANUAL_FILES)
  get_filename_component(manual_name ${manual_file} NAME)
  configure_file(${manual_file} ${PROJECT_BINARY_DIR}/${CORVANE_MANUAL_DIR}/${manual_name} COPYONLY)
endforeach()

install(TARGETS corvane corvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CORVANE_MANUAL_FILES} DESTINATION ${CORVANE_MANUAL_DIR})
install(FILES resources/icons/corvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${CORVANE_APP_ID}.svg)
install(FILES resources/desktop/${CORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(resources/desktop/${CORVANE_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${CORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${CORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/man/corvane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
