# One static library per source folder; the tests of folder X live in tests/X and
# become one GoogleTest executable whose cases CTest lists one by one.
function(vorlane_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  # A folder's main.cpp is its program's entry point, never part of the library.
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
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
# that the sanitizer build runs. A test folder with a main.cpp of its own (one that sets up
# a QGuiApplication, say) does without gtest_main.
function(vorlane_tests name dir)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT _tests OR VORLANE_FUZZ)
    return()
  endif()
  add_executable(test_${name} ${_tests})
  set(_main GTest::gtest_main)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${dir}/main.cpp)
    set(_main)
  endif()
  target_link_libraries(test_${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock ${_main})
  target_compile_definitions(test_${name} PRIVATE VORLANE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${name}")
  set_property(GLOBAL APPEND PROPERTY VORLANE_TEST_TARGETS test_${name})
endfunction()

# Settings of every test executable, once all are defined: VORLANE_TEST_OPTIONS (say -O0,
# where a build compiles its tests only to run them once) and, with VORLANE_PCH, the headers
# their files share compiled once: the widget tests' set where the executable links Qt's
# test library, the engine's elsewhere.
function(vorlane_test_settings)
  get_property(_targets GLOBAL PROPERTY VORLANE_TEST_TARGETS)
  separate_arguments(_options UNIX_COMMAND "${VORLANE_TEST_OPTIONS}")
  foreach(_t IN LISTS _targets)
    target_compile_options(${_t} PRIVATE ${_options})
    if(NOT VORLANE_PCH)
      continue()
    endif()
    # GCC 12 warns falsely about std::string's operator+ (as with -Wrestrict) once the
    # string's code comes from a precompiled header, where it loses its system-header mark.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${_t} PRIVATE -Wno-array-bounds -Wno-stringop-overflow)
    endif()
    get_target_property(_links ${_t} LINK_LIBRARIES)
    if("Qt6::Test" IN_LIST _links)
      target_precompile_headers(${_t} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/widgets.h)
    else()
      target_precompile_headers(${_t} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/engine.h)
    endif()
  endforeach()
endfunction()

# Builds the libraries of the layer table, each linked to the libraries its line names.
# A line that names a Qt6:: library is built only with VORLANE_GUI.
function(vorlane_layer_libraries table)
  file(STRINGS ${table} _lines REGEX "^[a-z]")
  foreach(_line IN LISTS _lines)
    string(REGEX REPLACE "[ \t]+" ";" _fields "${_line}")
    list(POP_FRONT _fields _name _dir)
    set(_links)
    set(_qt OFF)
    foreach(_f IN LISTS _fields)
      if(_f MATCHES "^Qt6::")
        set(_qt ON)
        list(APPEND _links ${_f})
      else()
        list(APPEND _links vorlane_${_f})
      endif()
    endforeach()
    if(_qt AND (NOT VORLANE_GUI OR VORLANE_FUZZ))
      continue()
    endif()
    vorlane_library(${_name} ${_dir} ${_links})
  endforeach()
endfunction()
