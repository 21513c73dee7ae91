# Shared conventions for every target of the project: one static library per
# folder, warnings on, the chosen sanitizer applied everywhere.

set(RP_WARNINGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(RP_WERROR)
  list(APPEND RP_WARNINGS -Werror)
endif()

if(RP_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(RP_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT RP_SANITIZER STREQUAL "")
  message(FATAL_ERROR "RP_SANITIZER must be empty, 'address' or 'thread'")
endif()

# rp_add_library(NAME SOURCES ... [DEPS ...])
# Headers are included from the repository root: "platform/foundation/string_object.h".
function(rp_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${RP_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# rp_add_test(NAME SOURCES ... [DEPS ...] [GUI] [LABELS ...] [TIMEOUT s])
# GUI tests get a QApplication on the offscreen platform and the label "ui", so
# the sanitizer run can leave them out with `ctest -LE ui`.
function(rp_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${RP_WARNINGS})
  set(main rp_test_main_core)
  set(labels ${ARG_LABELS})
  if(ARG_GUI)
    set(main rp_test_main_gui)
    list(APPEND labels ui)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ${main} GTest::gtest GTest::gmock)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # The test main sets up the environment (offscreen platform, private user
  # locations); a list inside PROPERTIES must keep its separators escaped.
  list(JOIN labels "\\;" label_text)
  set(properties TIMEOUT ${ARG_TIMEOUT})
  if(labels)
    list(APPEND properties LABELS "${label_text}")
  endif()
  if(ARG_GUI AND NOT RP_BUILD_GUI_TESTS)
    # Kept as a target, so settings made on it after this call still apply,
    # but neither built by default nor registered with CTest.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# rp_add_fuzzer(NAME SOURCES ... [DEPS ...])
# A libFuzzer target (clang, RP_BUILD_FUZZERS=ON); scripts/fuzz.sh builds the
# `fuzzers` target and runs every one of them.
if(RP_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
function(rp_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT RP_BUILD_FUZZERS)
    rp_note_unbuilt_target(${name} "${ARG_SOURCES}" "${ARG_DEPS}")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
  set_property(GLOBAL APPEND PROPERTY RP_FUZZERS ${name})
endfunction()

# rp_add_areas(): adds every sub-folder of the current folder that has a
# CMakeLists.txt, each one area of its own (bench/, tools/).
function(rp_add_areas)
  file(GLOB areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(area IN LISTS areas)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
