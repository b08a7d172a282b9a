# The Windows installer: the program and its English library in a folder of their own under
# Program Files, a start-menu entry, and an uninstaller listed among the installed programs.
# CPack's NSIS generator stages the files and runs makensis (Debian's nsis package) on our script,
# nsis/NSIS.template.in:
#   cpack -G NSIS --config build-win/CPackConfig.cmake

set(LUMIKARTA_INSTALL_COMPONENT systeminfo)
# The program finds its English library in its own folder, so both go to the top of the folder.
install(TARGETS LumikartaSystemInfo RUNTIME DESTINATION . COMPONENT ${LUMIKARTA_INSTALL_COMPONENT})
install(TARGETS LumikartaSystemInfoENU LIBRARY DESTINATION . COMPONENT ${LUMIKARTA_INSTALL_COMPONENT})

# CPack looks for the installer script here before it takes CMake's own.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)

# Values reach CPack as written here (the installer's hold NSIS's $ names).
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
# Only the program's own files, whatever else in the tree installs, staged as they lie in the
# installation folder (as components, each would get a subfolder of its own).
set(CPACK_INSTALL_CMAKE_PROJECTS ${PROJECT_BINARY_DIR} ${PROJECT_NAME} ${LUMIKARTA_INSTALL_COMPONENT} /)

# The name of the program among the installed ones and on the start menu; the version has a column
# of its own.
set(CPACK_NSIS_DISPLAY_NAME "Lumikarta SystemInfo")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/res/icons/lumikarta-systeminfo.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/res/icons/lumikarta-systeminfo.ico)
# The program, which the start-menu entry starts and whose icon the installed-programs entry shows.
set(CPACK_NSIS_INSTALLED_ICON_NAME LumikartaSystemInfo.exe)
# The maker's site, where the program's FAQ page and support server are.
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.lumikarta.de")

include(CPack)
