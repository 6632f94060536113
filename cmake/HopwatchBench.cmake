# Benchmarks (native only): every bench/*.cpp becomes its own executable, named after the file.
# They print figures; nothing here is a pass/fail test.
find_package(benchmark QUIET)
file(GLOB HOPWATCH_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
# The _win benchmarks build with the Windows program.
list(FILTER HOPWATCH_BENCH_SOURCES EXCLUDE REGEX "_win\\.cpp$")
foreach(source IN LISTS HOPWATCH_BENCH_SOURCES)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE hopwatch_core)
    if(benchmark_FOUND)
        target_link_libraries(${name} PRIVATE benchmark::benchmark)
    endif()
endforeach()

# The recording benchmark drives the engine on the scripted network of the tests.
if(TARGET recording_bench)
    target_sources(recording_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/CFakeHopwatchNetwork.cpp
                                           ${CMAKE_SOURCE_DIR}/tests/support/CRouteDriver.cpp
                                           ${CMAKE_SOURCE_DIR}/tests/support/test_datagrams.cpp)
    target_include_directories(recording_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
