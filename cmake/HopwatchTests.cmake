# Unit test executables: one per layer, each built from tests/<layer>/*_test.cpp.
if(WIN32)
    # GoogleTest from the sources shipped by Debian's libgtest-dev, built with the cross compiler.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(HOPWATCH_GTEST gtest gtest_main)
else()
    find_package(GTest REQUIRED)
    set(HOPWATCH_GTEST GTest::gtest GTest::gtest_main)
endif()

# Test helpers shared by several layers (fakes, lab helpers).
file(GLOB HOPWATCH_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)

# Layers whose Windows tests create and destroy top-level windows.
set(HOPWATCH_GUI_TEST_LAYERS settings timeline)

foreach(layer foundation engine results settings timeline report recording console)
    file(GLOB layer_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${layer}/*_test.cpp)
    if(layer STREQUAL "console" AND layer_tests)
        # The console is not part of the core library: its tests build its sources (all but main).
        file(GLOB console_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/console/*.cpp)
        list(FILTER console_sources EXCLUDE REGEX "/main\\.cpp$")
        list(APPEND layer_tests ${console_sources})
    endif()
    if(WIN32)
        list(FILTER layer_tests EXCLUDE REGEX "_posix_test\\.cpp$")
    else()
        list(FILTER layer_tests EXCLUDE REGEX "_win_test\\.cpp$")
    endif()
    if(WIN32 AND layer STREQUAL "settings")
        # The options pages are tested with their real dialog templates.
        list(APPEND layer_tests ${CMAKE_SOURCE_DIR}/resources/options_pages.rc)
    endif()
    if(layer_tests)
        add_executable(${layer}_tests ${layer_tests} ${HOPWATCH_TEST_SUPPORT})
        target_link_libraries(${layer}_tests PRIVATE hopwatch_core ${HOPWATCH_GTEST})
        target_include_directories(${layer}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        # GoogleTest's header costs about two seconds in every test file of every flavour:
        # compiled once per executable, it shortens a clean build by minutes.
        target_precompile_headers(${layer}_tests PRIVATE <gtest/gtest.h>)
        # One ctest entry per executable: under Wine every process start costs about a second,
        # so the tests are not discovered one by one.
        add_test(NAME ${layer}_tests COMMAND ${layer}_tests --gtest_brief=1)
        if(WIN32 AND layer IN_LIST HOPWATCH_GUI_TEST_LAYERS)
            # Without a window manager, Wine waits two seconds at every destroyed top-level
            # window that it left to the window manager; the windows of this test executable are
            # left to Wine alone (an application setting of the prefix, read at process start).
            add_test(NAME ${layer}_tests_unmanaged
                     COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh reg add
                             "HKCU\\Software\\Wine\\AppDefaults\\${layer}_tests.exe\\X11 Driver"
                             /v Managed /d N /f)
            set_tests_properties(${layer}_tests_unmanaged PROPERTIES
                                 FIXTURES_SETUP ${layer}_gui LABELS unit TIMEOUT 120)
            set_tests_properties(${layer}_tests PROPERTIES FIXTURES_REQUIRED ${layer}_gui)
        endif()
        set_tests_properties(${layer}_tests PROPERTIES LABELS unit TIMEOUT 600)
        if(WIN32)
            # Drawing tests create real windows: without a display, scripts/wine-run.sh gives
            # them a private Xvfb.
            set_tests_properties(${layer}_tests PROPERTIES ENVIRONMENT HOPWATCH_WINE_XVFB=1)
        endif()
    endif()
endforeach()

# The desktop program's windows in-process under Wine: real controls over the scripted network.
# The program's resources are linked in, so the dialog templates load from the test executable.
if(WIN32 AND TARGET hopwatch_app)
    file(GLOB app_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/*_test.cpp)
    list(FILTER app_tests EXCLUDE REGEX "_posix_test\\.cpp$")
    if(app_tests)
        add_executable(app_tests ${app_tests} ${HOPWATCH_TEST_SUPPORT} ${HOPWATCH_RC})
        target_link_libraries(app_tests PRIVATE hopwatch_app ${HOPWATCH_GTEST})
        target_include_directories(app_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        target_precompile_headers(app_tests PRIVATE <gtest/gtest.h>)
        add_test(NAME app_tests COMMAND app_tests --gtest_brief=1)
        # Left to Wine instead of a window manager, so destroyed windows do not wait (see above).
        add_test(NAME app_tests_unmanaged
                 COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh reg add
                         "HKCU\\Software\\Wine\\AppDefaults\\app_tests.exe\\X11 Driver"
                         /v Managed /d N /f)
        set_tests_properties(app_tests_unmanaged PROPERTIES FIXTURES_SETUP app_gui LABELS unit
                             TIMEOUT 120)
        set_tests_properties(app_tests PROPERTIES LABELS unit TIMEOUT 600
                             FIXTURES_REQUIRED app_gui ENVIRONMENT HOPWATCH_WINE_XVFB=1)
    endif()
endif()

# The end-to-end tests read and close the program's windows with a small helper of their own.
if(WIN32)
    add_executable(window_probe ${CMAKE_SOURCE_DIR}/tests/tools/window_probe_win.cpp)
    target_link_libraries(window_probe PRIVATE user32)
    target_link_options(window_probe PRIVATE -municode)
endif()

# The version reader's test reads the desktop program's own executable (the path as Wine sees it)
# and compares its version with the project's (hopwatch_version.h).
if(WIN32 AND TARGET foundation_tests AND TARGET hopwatch)
    add_dependencies(foundation_tests hopwatch)
    target_compile_definitions(foundation_tests PRIVATE
        HOPWATCH_EXE_PATH=L"Z:$<TARGET_FILE:hopwatch>")
endif()

# Wine takes the time zone from TZ when a process starts, so the zone test of the timestamp runs
# once per zone with TZ in its environment (the native test switches TZ itself).
if(WIN32 AND TARGET foundation_tests)
    foreach(zone GMT0 XCT-1 EST5 XIST-5:30)
        string(MAKE_C_IDENTIFIER "foundation_zone_${zone}" zone_test)
        add_test(NAME ${zone_test}
                 COMMAND foundation_tests --gtest_brief=1 --gtest_filter=TimeStampZone.*)
        set_tests_properties(${zone_test} PROPERTIES ENVIRONMENT "TZ=${zone}" LABELS unit
                             TIMEOUT 120)
    endforeach()
endif()

# The lab's GUI test reads the running window from outside through this helper.
if(WIN32)
    add_executable(hopwatch_gui_probe ${CMAKE_SOURCE_DIR}/tests/lab/gui_probe_win.cpp)
    target_include_directories(hopwatch_gui_probe PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(hopwatch_gui_probe PRIVATE comctl32 user32)
    target_link_options(hopwatch_gui_probe PRIVATE -municode)

    # Benchmark of the refresh through the real list control (prints figures, run under Wine).
    # The program's resources are linked in for the main window's dialog template.
    add_executable(gui_refresh_bench ${CMAKE_SOURCE_DIR}/bench/gui_refresh_bench_win.cpp
                   ${HOPWATCH_RC})
    target_link_libraries(gui_refresh_bench PRIVATE hopwatch_core)
    target_link_options(gui_refresh_bench PRIVATE -municode)

    # Benchmark of drawing the timeline window of a simulated day (prints figures, under Wine).
    add_executable(timeline_draw_bench ${CMAKE_SOURCE_DIR}/bench/timeline_draw_bench_win.cpp)
    target_link_libraries(timeline_draw_bench PRIVATE hopwatch_core)
    target_link_options(timeline_draw_bench PRIVATE -municode)
endif()
