# DARVEX.EXE: the window layer over the core, with its resources.
# Included from the top-level CMakeLists.txt only when targeting Windows.

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)

# Under a cross build the Windows executables (tests included) run through Wine.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_HOST_UNIX)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh;${CMAKE_BINARY_DIR}")
endif()

# Every window-layer file but the entry goes into one library, so the Wine
# tests can drive the same code the program runs.
file(GLOB DARVEX_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/logfile/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/eventlist/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/*_win32.cpp)
list(FILTER DARVEX_WIN32_SOURCES EXCLUDE REGEX "/winmain_win32\\.cpp$")

add_library(darvex_win32 STATIC ${DARVEX_WIN32_SOURCES})
target_link_libraries(darvex_win32 PUBLIC darvex_core comctl32 comdlg32 gdi32 user32 shell32 version)
darvex_warnings(darvex_win32)

add_executable(DARVEX WIN32 app/winmain_win32.cpp)
set_target_properties(DARVEX PROPERTIES OUTPUT_NAME DARVEX SUFFIX .EXE)
target_link_libraries(DARVEX PRIVATE darvex_win32)
target_link_options(DARVEX PRIVATE -static -static-libgcc -static-libstdc++)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86")
  target_link_options(DARVEX PRIVATE -Wl,--large-address-aware)
endif()
darvex_warnings(DARVEX)
darvex_add_resources(DARVEX)

if(DARVEX_TESTS)
  enable_testing()
  include(${CMAKE_CURRENT_LIST_DIR}/WineTests.cmake)
endif()
