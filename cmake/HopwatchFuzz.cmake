# Fuzz targets (clang + libFuzzer): every fuzz/*_fuzz.cpp becomes an executable of the same name.
# The core is instrumented for coverage and sanitizers too, so the fuzzer sees into it.
set(HOPWATCH_FUZZ_SANITIZERS address,undefined)
target_compile_options(hopwatch_core PRIVATE -fsanitize=fuzzer-no-link,${HOPWATCH_FUZZ_SANITIZERS}
                                             -fno-omit-frame-pointer)
# Whatever links the instrumented core needs the sanitizer runtimes.
target_link_options(hopwatch_core INTERFACE -fsanitize=${HOPWATCH_FUZZ_SANITIZERS})

file(GLOB HOPWATCH_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
# Only the scripted network, its datagrams and the invariant check: other test helpers may need
# GoogleTest, which fuzz builds lack.
set(HOPWATCH_FUZZ_SUPPORT ${CMAKE_SOURCE_DIR}/tests/support/CFakeHopwatchNetwork.cpp
                          ${CMAKE_SOURCE_DIR}/tests/support/hopwatch_invariants.cpp
                          ${CMAKE_SOURCE_DIR}/tests/support/test_datagrams.cpp)
# The invariant check runs after every input: without coverage it neither slows the fuzzer down
# nor steers it with comparisons that are not the code under test.
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/hopwatch_invariants.cpp PROPERTIES
    COMPILE_OPTIONS "-O2;-fno-sanitize-coverage=inline-8bit-counters,indirect-calls,trace-cmp,pc-table")
foreach(source IN LISTS HOPWATCH_FUZZ_TARGETS)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${HOPWATCH_FUZZ_SUPPORT})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,${HOPWATCH_FUZZ_SANITIZERS}
                                           -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,${HOPWATCH_FUZZ_SANITIZERS})
    target_link_libraries(${name} PRIVATE hopwatch_core)
endforeach()
