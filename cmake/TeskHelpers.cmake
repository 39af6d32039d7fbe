# tesk_subsystem(NAME SOURCES...): one static library per subsystem folder.
function(tesk_subsystem name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# tesk_stage_tree(TARGET SRC_DIR DEST_SUBDIR): copies a source folder into the
# program folder, file by file, only when a file changed.
function(tesk_stage_tree target src dest)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${src} ${src}/*)
  set(outputs)
  foreach(f IN LISTS files)
    if(f MATCHES "(^|/)(CMakeLists\\.txt|README\\.md)$")
      continue()
    endif()
    set(out ${TESK_STAGE_DIR}/${dest}/${f})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src}/${f} ${out}
      DEPENDS ${src}/${f} VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()

# add_unit_test(NAME SOURCES... [LIBS libs...] [GUI]): one test binary per
# concern, registered with CTest. GUI tests need the X display that the test
# command provides (Xvfb); they are labelled so they can be run apart.
function(add_unit_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE tesk_test_support ${T_LIBS} Qt5::Test)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QTWEBENGINE_DISABLE_SANDBOX=1;TESK_STAGE_DIR=${TESK_STAGE_DIR}")
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES LABELS gui)
  else()
    set_tests_properties(${name} PROPERTIES LABELS unit ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;TESK_STAGE_DIR=${TESK_STAGE_DIR}")
  endif()
endfunction()
