# PEAKWEND_SANITIZE: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer, at -O1 (quick to build, fast enough to fuzz);
# any report ends the process with an error.
# PEAKWEND_FUZZ (clang only): the same, plus the coverage instrumentation
# libFuzzer steers by, and the fuzz targets in fuzz/.
if(PEAKWEND_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "PEAKWEND_FUZZ needs clang: configure with "
                      "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
endif()

if(PEAKWEND_SANITIZE OR PEAKWEND_FUZZ)
  set(PEAKWEND_SANITIZER_FLAGS
      -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${PEAKWEND_SANITIZER_FLAGS} -O1)
  add_link_options(${PEAKWEND_SANITIZER_FLAGS})
endif()

if(PEAKWEND_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link
                      -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage_ignore.txt)
endif()

# peakwend_sanitizer_defaults(): gives every program defined so far (in this
# directory and below) the settings of cmake/sanitizer_defaults.cpp.
function(peakwend_sanitizer_defaults)
  set(dirs ${CMAKE_CURRENT_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE")
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/sanitizer_defaults.cpp)
      endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
  endwhile()
endfunction()
