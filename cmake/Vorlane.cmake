# One static library per source folder; the tests of folder X live in tests/X and
# become one GoogleTest executable whose cases CTest lists one by one.
function(vorlane_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(_src)
    add_library(vorlane_${name} STATIC ${_src})
  else()
    # A folder without sources yet still gives a target others can link.
    add_library(vorlane_${name} INTERFACE)
  endif()
  get_target_property(_type vorlane_${name} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(vorlane_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(vorlane_${name} INTERFACE ${ARGN})
  else()
    target_include_directories(vorlane_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(vorlane_${name} PUBLIC ${ARGN})
  endif()
  vorlane_tests(${name} ${dir} vorlane_${name})
endfunction()

# Test executables link GoogleTest and GoogleMock; label "engine" marks the Qt-free ones
# that the sanitizer build runs.
function(vorlane_tests name dir)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT _tests OR VORLANE_FUZZ)
    return()
  endif()
  add_executable(test_${name} ${_tests})
  target_link_libraries(test_${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE VORLANE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${name}")
endfunction()

# Builds the libraries of the layer table, each linked to the libraries its line names.
function(vorlane_engine_libraries table)
  file(STRINGS ${table} _lines REGEX "^[a-z]")
  foreach(_line IN LISTS _lines)
    string(REGEX REPLACE "[ \t]+" ";" _fields "${_line}")
    list(POP_FRONT _fields _name _dir)
    list(TRANSFORM _fields PREPEND vorlane_)
    vorlane_library(${_name} ${_dir} ${_fields})
  endforeach()
endfunction()
