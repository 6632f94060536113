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
