# Helpers shared by every folder of the project.
#
# Each subsystem folder is one static library made of the .cpp files directly in it; its forms live in
# a ui/ sub-folder that becomes a second library linking Qt Widgets. Globbing keeps the folders
# independent: adding a file needs no edit of a shared list.

function(tova_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  if(NOT _src)
    set(_src ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
endfunction()

function(tova_ui_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  if(NOT _src)
    set(_src ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
endfunction()

# The environment of every test: no window system, and in the sanitizer build the sanitizer settings.
function(tova_test_environment out)
  set(_env "QT_QPA_PLATFORM=offscreen")
  if(TOVA_SANITIZE)
    # A finding fails the test that made it. Leaks kept on purpose are listed in lsan.supp, findings
    # inside Qt's own headers that are not caused by how Qt is called here in ubsan.supp.
    list(APPEND _env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1"
                     "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${PROJECT_SOURCE_DIR}/cmake/ubsan.supp"
                     "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0")
  endif()
  set(${out} "${_env}" PARENT_SCOPE)
endfunction()

# One test executable per subsystem: every .cpp under tests/<folder>/ (recursively).
function(tova_test name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  add_executable(${name} ${_src})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE tova_testsupport ${ARG_DEPS})
  tova_test_environment(_env)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600)
  # The discovery module flattens PROPERTIES into one list, so an ENVIRONMENT of several variables would
  # be split into stray property names (and take the TIMEOUT with it). ctest reads this script after the
  # discovered tests instead and sets the whole list on each of them.
  set(_script "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${_script}"
       "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${_env}]==])\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_script}")
endfunction()
