# Tests of the window layer, run under Wine (the cross build's emulator):
# in-process tests of the real main window and an end-to-end test of
# DARVEX.EXE. GoogleTest's targets come from tests/, read later; they are
# resolved when the build is generated.
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/tests/win32)

# Where this machine has no Wine loader for the tree, the emulator lists no
# tests; this one stands for them all and is reported skipped, with the reason.
if(DARVEX_WINE_UNAVAILABLE)
  add_test(NAME wine_${DARVEX_WINE_ARCH}_tests_skipped
           COMMAND sh -c "echo \"$1\" >&2; exit 77" sh "Wine tests skipped: ${DARVEX_WINE_UNAVAILABLE}")
  set_tests_properties(wine_${DARVEX_WINE_ARCH}_tests_skipped PROPERTIES SKIP_RETURN_CODE 77)
endif()

# The release executable carries no debug sections.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$" AND CMAKE_OBJDUMP)
  add_test(NAME release_exe_has_no_debug_sections
           COMMAND sh -c "sections=$(\"$1\" -h \"$2\") && ! echo \"$sections\" | grep ' \\.debug'"
                   sh "${CMAKE_OBJDUMP}" "$<TARGET_FILE:DARVEX>")
endif()
