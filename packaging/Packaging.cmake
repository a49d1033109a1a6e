# Installs the three programs, the desktop entry, the icon and the schema and demo data as
# SQL (the programs carry the same text built in), and packs them as a Debian package.
include(GNUInstallDirs)

foreach(program tesmira vn003-script tesmira-db)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET tesmira)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/tesmira.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/tesmira.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/schema/schema.sql ${PROJECT_SOURCE_DIR}/schema/demo.sql
              ${PROJECT_SOURCE_DIR}/schema/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tesmira/schema)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesmira)
set(CPACK_PACKAGE_VENDOR "Tesmira")
set(CPACK_PACKAGE_CONTACT "Tesmira <soporte@tesmira.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tesmira VN003: remisión de pedidos")
set(CPACK_PACKAGE_DESCRIPTION
    "The delivery-note screen of the Tesmira ERP on SQLite: the desktop window (tesmira), the headless scenario runner (vn003-script) and the database tool (tesmira-db), with the demo company.")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Spanish texts for the dialogs are loaded at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
