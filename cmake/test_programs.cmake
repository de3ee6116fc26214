# Writes test-programs.txt in the build folder: every executable of the project that links
# GoogleTest, one path a line. scripts/test-windows.sh runs each whole, on Linux and under Wine.

function(tambrell_collect_test_programs directory out)
  set(found "${${out}}")
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(type STREQUAL "EXECUTABLE" AND libraries MATCHES "GTest::|gtest")
      string(APPEND found "$<TARGET_FILE:${target}>\n")
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    tambrell_collect_test_programs(${subdirectory} found)
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(tambrell_write_test_programs)
  set(programs "")
  tambrell_collect_test_programs(${PROJECT_SOURCE_DIR} programs)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/test-programs.txt CONTENT "${programs}")
endfunction()

# Deferred to the end of the top folder, so that test programs added after this point count too.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL tambrell_write_test_programs)
