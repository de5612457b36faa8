find_package(GTest REQUIRED)
include(GoogleTest)

# korvane_gtest(NAME sources... LIBS libs...): one GoogleTest executable, registered with CTest.
function(korvane_gtest name)
    cmake_parse_arguments(KT "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${KT_SOURCES})
    target_link_libraries(${name} PRIVATE ${KT_LIBS} GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit ENVIRONMENT "LC_ALL=C;LANG=C")
endfunction()
