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

# Without a window manager, Wine waits two seconds at every destroyed top-level window that it
# left to the window manager. For a test executable that opens and closes windows (a property
# sheet cannot be kept hidden), its windows are left to Wine alone: an application setting of the
# prefix, written by a fixture test before the executable starts (Wine reads it at process start).
function(hopwatch_leave_windows_to_wine test)
    add_test(NAME ${test}_unmanaged
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh reg add
                     "HKCU\\Software\\Wine\\AppDefaults\\${test}.exe\\X11 Driver"
                     /v Managed /d N /f)
    set_tests_properties(${test}_unmanaged PROPERTIES FIXTURES_SETUP ${test}_windows LABELS unit
                         TIMEOUT 120)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED ${test}_windows)
endfunction()

# Layers whose Windows tests create and destroy top-level windows.
set(HOPWATCH_GUI_TEST_LAYERS settings)

foreach(layer foundation engine results settings report console)
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
        # One ctest entry per executable: under Wine every process start costs about a second,
        # so the tests are not discovered one by one.
        add_test(NAME ${layer}_tests COMMAND ${layer}_tests --gtest_brief=1)
        if(WIN32 AND layer IN_LIST HOPWATCH_GUI_TEST_LAYERS)
            hopwatch_leave_windows_to_wine(${layer}_tests)
        endif()
        set_tests_properties(${layer}_tests PROPERTIES LABELS unit TIMEOUT 600)
    endif()
endforeach()

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

# The main window in-process under Wine: real controls over the scripted network. The program's
# resources are linked in, so the dialog templates load from the test executable itself.
if(WIN32)
    file(GLOB app_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/*_win_test.cpp)
    if(app_tests)
        add_executable(app_tests ${app_tests} ${HOPWATCH_TEST_SUPPORT} ${HOPWATCH_RC})
        target_link_libraries(app_tests PRIVATE hopwatch_app ${HOPWATCH_GTEST})
        target_include_directories(app_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        add_test(NAME app_tests COMMAND app_tests --gtest_brief=1)
        set_tests_properties(app_tests PROPERTIES LABELS unit TIMEOUT 600)
        hopwatch_leave_windows_to_wine(app_tests)
    endif()
endif()
