# The help files of the Windows trees. DARVEX.HLP (English) is written next
# to DARVEX.EXE; the Japanese distribution is the folder ja/: the same
# program beside the Japanese DARVEX.HLP, since the program looks for its
# help file next to itself. The help compiler runs on this machine, so it is
# built here with the machine's own C++ compiler.
find_program(DARVEX_HOST_CXX NAMES c++ g++ REQUIRED)
set(DARVEX_HELPC_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/helpc/help_source.cpp
  ${CMAKE_SOURCE_DIR}/tools/helpc/help_writer.cpp
  ${CMAKE_SOURCE_DIR}/tools/helpc/help_reader.cpp
  ${CMAKE_SOURCE_DIR}/tools/helpc/helpc_main.cpp)
file(GLOB DARVEX_HELPC_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/helpc/*.h)
set(DARVEX_HELPC ${CMAKE_BINARY_DIR}/host/darvex-helpc)
add_custom_command(OUTPUT ${DARVEX_HELPC}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${DARVEX_HOST_CXX} -std=c++17 -O2 -I${CMAKE_SOURCE_DIR} -o ${DARVEX_HELPC} ${DARVEX_HELPC_SOURCES}
  DEPENDS ${DARVEX_HELPC_SOURCES} ${DARVEX_HELPC_HEADERS}
  COMMENT "Building the help compiler for this machine"
  VERBATIM)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/DARVEX.HLP
  COMMAND ${DARVEX_HELPC} ${CMAKE_SOURCE_DIR}/help/darvex_en.txt ${CMAKE_BINARY_DIR}/DARVEX.HLP
  DEPENDS ${DARVEX_HELPC} ${CMAKE_SOURCE_DIR}/help/darvex_en.txt
  COMMENT "Compiling the English help file"
  VERBATIM)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/ja/DARVEX.HLP ${CMAKE_BINARY_DIR}/ja/DARVEX.EXE
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/ja
  COMMAND ${DARVEX_HELPC} ${CMAKE_SOURCE_DIR}/help/darvex_ja.txt ${CMAKE_BINARY_DIR}/ja/DARVEX.HLP
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:DARVEX> ${CMAKE_BINARY_DIR}/ja/DARVEX.EXE
  DEPENDS ${DARVEX_HELPC} ${CMAKE_SOURCE_DIR}/help/darvex_ja.txt DARVEX
  COMMENT "Compiling the Japanese help file into the Japanese distribution"
  VERBATIM)
add_custom_target(darvex_help ALL
  DEPENDS ${CMAKE_BINARY_DIR}/DARVEX.HLP ${CMAKE_BINARY_DIR}/ja/DARVEX.HLP ${CMAKE_BINARY_DIR}/ja/DARVEX.EXE)
