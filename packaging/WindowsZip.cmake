# The Windows build's ZIP (cpack -G ZIP in build/windows): one folder with the calculator, its data files, the
# licence and a short README, to be unpacked anywhere.
install(TARGETS korvane-energy-cli RUNTIME DESTINATION . COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/data/DEFAULT.GEO ${PROJECT_SOURCE_DIR}/data/SITE_ALIASES.txt DESTINATION .
        COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT cli)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README-windows.txt DESTINATION . RENAME README.txt COMPONENT cli)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvane-energy-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME korvane-energy-cli-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
