# The program's Win32 resources: string tables, menu, accelerators and
# dialogs in English and Japanese, the event type bitmaps, the icon and the
# version resource. Included only when cross-compiling for Windows.
#
#   darvex_add_resources(<target>)
#
# draws the bitmaps and the icon into <binary dir>/res with
# tools/make_bitmaps.py, compiles resources/darvex.rc with that directory on
# the resource compiler's include path and links the result into <target>.
# With DARVEX_TESTS on it also adds the test "resources_consistent", which
# runs tools/check_resources.py over the two language scripts.

enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

get_filename_component(DARVEX_RESOURCES_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

function(darvex_add_resources target)
  set(root "${DARVEX_RESOURCES_ROOT}")
  set(image_dir "${CMAKE_CURRENT_BINARY_DIR}/res")
  set(images)
  foreach(name info_normal info_selected warning_normal warning_selected
               error_normal error_selected icon_mask)
    list(APPEND images "${image_dir}/${name}.bmp")
  endforeach()
  list(APPEND images "${image_dir}/DARVEX.ico")

  add_custom_command(
    OUTPUT ${images}
    COMMAND "${Python3_EXECUTABLE}" "${root}/tools/make_bitmaps.py" "${image_dir}"
    DEPENDS "${root}/tools/make_bitmaps.py"
    COMMENT "Drawing the event type bitmaps and the program icon"
    VERBATIM)
  add_custom_target(${target}_images DEPENDS ${images})
  add_dependencies(${target} ${target}_images)

  set(script "${root}/resources/darvex.rc")
  target_sources(${target} PRIVATE "${script}")
  # windres finds neither the included language scripts nor the drawn
  # images by dependency scanning, so name them here.
  set_source_files_properties("${script}" PROPERTIES
    OBJECT_DEPENDS "${root}/resources/darvex_en.rc;${root}/resources/darvex_ja.rc;${root}/resources/resource_ids.h;${images}")
  # windres also searches its include directories for the files that
  # BITMAP and ICON statements name.
  target_include_directories(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:RC>:${root}/resources>"
    "$<$<COMPILE_LANGUAGE:RC>:${image_dir}>")

  # One check is enough however many targets carry the resources.
  get_property(test_added GLOBAL PROPERTY DARVEX_RESOURCES_TEST_ADDED)
  if(DARVEX_TESTS AND NOT test_added)
    set_property(GLOBAL PROPERTY DARVEX_RESOURCES_TEST_ADDED TRUE)
    add_test(NAME resources_consistent
             COMMAND "${Python3_EXECUTABLE}" "${root}/tools/check_resources.py"
                     "${root}/resources/darvex_en.rc" "${root}/resources/darvex_ja.rc")
  endif()
endfunction()
