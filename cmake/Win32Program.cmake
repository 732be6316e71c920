# DARVEX.EXE: the window layer over the core, with its resources.
# Included from the top-level CMakeLists.txt only when targeting Windows.

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86")
  set(DARVEX_WINE_ARCH win32)
else()
  set(DARVEX_WINE_ARCH win64)
endif()

# Under a cross build the Windows executables (tests included) run through
# Wine, with the loader and prefix of the tree's architecture; the scripts
# read it from here. A machine without that loader gets an emulator that
# runs nothing, and the tests say they were skipped (WineTests.cmake).
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_HOST_UNIX)
  file(WRITE "${CMAKE_BINARY_DIR}/wine-arch" "${DARVEX_WINE_ARCH}\n")
  get_filename_component(darvex_tools_dir "${CMAKE_CURRENT_LIST_DIR}/../tools" ABSOLUTE)
  execute_process(COMMAND bash "${darvex_tools_dir}/wine-loader.sh" ${DARVEX_WINE_ARCH}
                  RESULT_VARIABLE darvex_loader_result OUTPUT_QUIET
                  ERROR_VARIABLE DARVEX_WINE_UNAVAILABLE ERROR_STRIP_TRAILING_WHITESPACE)
  if(darvex_loader_result EQUAL 0)
    set(DARVEX_WINE_UNAVAILABLE "")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${darvex_tools_dir}/wine-run.sh;${CMAKE_BINARY_DIR}")
  else()
    message(STATUS "Windows programs will not run here: ${DARVEX_WINE_UNAVAILABLE}")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${darvex_tools_dir}/wine-run.sh;--unavailable=${DARVEX_WINE_ARCH}")
  endif()
endif()

# The 32-bit programs may use up to 4 GiB of address space under a 64-bit
# Windows, not 2: a 1 GiB log and its table need more than 2.
function(darvex_large_address_aware target)
  if(DARVEX_WINE_ARCH STREQUAL "win32")
    target_link_options(${target} PRIVATE -Wl,--large-address-aware)
  endif()
endfunction()

# Every window-layer file but the entry goes into one library, so the Wine
# tests can drive the same code the program runs.
file(GLOB DARVEX_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/logfile/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/eventlist/*_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/*_win32.cpp)
list(FILTER DARVEX_WIN32_SOURCES EXCLUDE REGEX "/winmain_win32\\.cpp$")

add_library(darvex_win32 STATIC ${DARVEX_WIN32_SOURCES})
target_link_libraries(darvex_win32 PUBLIC darvex_core comctl32 comdlg32 gdi32 user32 shell32 version psapi)
darvex_warnings(darvex_win32)

add_executable(DARVEX WIN32 app/winmain_win32.cpp)
set_target_properties(DARVEX PROPERTIES OUTPUT_NAME DARVEX SUFFIX .EXE)
target_link_libraries(DARVEX PRIVATE darvex_win32)
# The static C++ runtime brings its debug sections along; a release ships without them.
target_link_options(DARVEX PRIVATE -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release,MinSizeRel>:-s>)
darvex_large_address_aware(DARVEX)
darvex_warnings(DARVEX)
darvex_add_resources(DARVEX)
include(${CMAKE_CURRENT_LIST_DIR}/HelpFiles.cmake)

# EVTWRITER.EXE: a writing component's stand-in that the live-log tests and
# benchmarks start beside DARVEX. A console program.
add_executable(EVTWRITER tools/evtwriter_win32.cpp)
set_target_properties(EVTWRITER PROPERTIES OUTPUT_NAME EVTWRITER SUFFIX .EXE)
target_link_libraries(EVTWRITER PRIVATE darvex_logwriter)
target_link_options(EVTWRITER PRIVATE -static -static-libgcc -static-libstdc++)
darvex_large_address_aware(EVTWRITER)
darvex_warnings(EVTWRITER)

if(DARVEX_TESTS)
  enable_testing()
  include(${CMAKE_CURRENT_LIST_DIR}/WineTests.cmake)
endif()
