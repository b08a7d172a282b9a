# The Windows installer: the program and its English library in a folder of their own under
# Program Files, a start-menu entry, and an uninstaller listed among the installed programs.
# Made by CPack's NSIS generator (makensis from Debian's nsis package):
#   cpack -G NSIS --config build-win/CPackConfig.cmake

set(LUMIKARTA_INSTALL_COMPONENT systeminfo)
# The program finds its English library in its own folder, so both go to the top of the folder.
install(TARGETS LumikartaSystemInfo RUNTIME DESTINATION . COMPONENT ${LUMIKARTA_INSTALL_COMPONENT})
install(TARGETS LumikartaSystemInfoENU LIBRARY DESTINATION . COMPONENT ${LUMIKARTA_INSTALL_COMPONENT})

# The project's installer script (NSIS.template.in) is found here before CMake's own.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake)

# Values reach CPack as written here (the installer lines hold backslashes).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME LumikartaSystemInfo)
set(CPACK_PACKAGE_VENDOR "Lumikarta")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "System information, support requests and updates for Lumikarta products")
set(CPACK_PACKAGE_FILE_NAME LumikartaSystemInfo-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Lumikarta SystemInfo")
# Also the name of the uninstall key, so it stays the same from one version to the next.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY LumikartaSystemInfo)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${LUMIKARTA_INSTALL_COMPONENT})
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_NSIS_PACKAGE_NAME "Lumikarta SystemInfo")
set(CPACK_NSIS_DISPLAY_NAME "Lumikarta SystemInfo ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/res/icons/lumikarta-systeminfo.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/res/icons/lumikarta-systeminfo.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME LumikartaSystemInfo.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The start-menu entry points at the program at the top of the folder (CPACK_PACKAGE_EXECUTABLES
# would look for it in bin\).
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Lumikarta SystemInfo.lnk' '$INSTDIR\\LumikartaSystemInfo.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\$START_MENU\\Lumikarta SystemInfo.lnk'")

include(CPack)
