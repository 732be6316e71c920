# Tests of the window layer, run under Wine (the cross build's emulator):
# in-process tests of the real main window and an end-to-end test of
# DARVEX.EXE. GoogleTest's targets come from tests/, read later; they are
# resolved when the build is generated.
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/tests/win32)
