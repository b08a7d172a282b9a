# The Windows build's tests: one executable made of the tests that need the real Windows services
# (*_windows_test.cpp beside the portable tests of their folder) and the portable tests of the core,
# and one of the Win32 host's windows (hosts/win32/). Run under Wine by scripts/test.sh --windows.

# GoogleTest from Debian's sources, built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(lumikarta_test_support STATIC helpers/temp_dir.cpp helpers/scoped_env_windows.cpp
  helpers/sample_support_request.cpp helpers/raw_http_server.cpp helpers/raw_socket_windows.cpp
  helpers/signing_material_windows.cpp)
target_include_directories(lumikarta_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumikarta_test_support PUBLIC lumikarta_core gtest ws2_32)

file(GLOB_RECURSE windows_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_windows_test.cpp)
add_executable(windows_tests
  ${windows_test_sources}
  xml/xml_document_test.cpp
  platform/http_transport_test.cpp
  platform/base64_text_test.cpp
  platform/ecdsa_p256_signature_test.cpp
  platform/signature_check_test.cpp
  update/download_worker_test.cpp
  core/update_listing_test.cpp
  sysinfo/info_lines_test.cpp
  sysinfo/windows_os_name_test.cpp
)
# The shell's icon reader for the program file's icons; the program itself loads the shell at its
# first call.
target_link_libraries(windows_tests PRIVATE lumikarta_test_support gtest_main version shell32)
target_compile_definitions(windows_tests PRIVATE LUMIKARTA_VERSION="${PROJECT_VERSION}")
set_target_properties(windows_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMIKARTA_PROGRAM_DIR})
# The program and its language library are read as files beside the tests.
add_dependencies(windows_tests LumikartaSystemInfo LumikartaSystemInfoENU)

# The Win32 host's windows; they need a display (scripts/wine-tests.sh gives them a virtual one).
if(LUMIKARTA_WIN32_GUI)
  file(GLOB windows_gui_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/hosts/win32/*_test.cpp)
  add_executable(windows_gui_tests ${windows_gui_test_sources})
  target_link_libraries(windows_gui_tests PRIVATE lumikarta_test_support lumikarta_app gtest_main)
  # Pictures of the templates as Win32 dialogs (scripts/windows-dialog-pictures.sh).
  add_executable(template_dialog_viewer hosts/win32/template_dialog_viewer.cpp)
  target_link_libraries(template_dialog_viewer PRIVATE lumikarta_win32_host)
  # The program's windows beyond the main window, for the README's pictures
  # (scripts/windows-screenshots.sh).
  add_executable(program_window_viewer WIN32 hosts/win32/program_window_viewer.cpp)
  target_link_libraries(program_window_viewer PRIVATE lumikarta_win32_host)
  set_target_properties(windows_gui_tests template_dialog_viewer program_window_viewer PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${LUMIKARTA_PROGRAM_DIR})
  foreach(program windows_gui_tests template_dialog_viewer program_window_viewer)
    lumikarta_add_application_manifest(${program})
  endforeach()
  add_dependencies(windows_gui_tests LumikartaSystemInfoENU)
endif()

# The include rule by folder, checked here for the files only this build compiles (the Win32 host and
# the *_windows.cpp files); scripts/test.sh --windows runs it with ctest.
add_test(NAME layering COMMAND ${CMAKE_COMMAND} -DLAYER_MAP=${CMAKE_BINARY_DIR}/layer_map.cmake
  -P ${PROJECT_SOURCE_DIR}/cmake/check_layer_includes.cmake)
