# Debian's hardening for every program this tree builds: the flags dpkg-buildflags gives with all hardening
# features on (fortify, stack protector, relro, bindnow, PIE). Optimisation and debug information stay with the
# build type, and the sanitized and fuzzing builds bring their own instrumentation.
find_program(KORVANE_DPKG_BUILDFLAGS dpkg-buildflags)
set(korvane_hardening_default OFF)
if(KORVANE_DPKG_BUILDFLAGS AND NOT KORVANE_SANITIZE AND NOT KORVANE_WITH_FUZZERS AND NOT CMAKE_CROSSCOMPILING)
    set(korvane_hardening_default ON)
endif()
option(KORVANE_HARDENING "Compile and link with Debian's hardening flags (dpkg-buildflags)"
       ${korvane_hardening_default})
if(NOT KORVANE_HARDENING)
    return()
endif()
if(NOT KORVANE_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "KORVANE_HARDENING needs dpkg-buildflags (package dpkg-dev)")
endif()

function(korvane_buildflags area out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${KORVANE_DPKG_BUILDFLAGS} --get ${area}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # -ffile-prefix-map is left out too: it would hide the sources from the debugger and from __FILE__.
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*)$")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

korvane_buildflags(CPPFLAGS korvane_cppflags)
korvane_buildflags(CXXFLAGS korvane_cxxflags)
korvane_buildflags(LDFLAGS korvane_ldflags)
foreach(flag ${korvane_cppflags} ${korvane_cxxflags})
    if(flag MATCHES "^-D_FORTIFY_SOURCE")
        # glibc warns that fortification without optimisation does nothing.
        add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
    else()
        add_compile_options(${flag})
    endif()
endforeach()
add_link_options(${korvane_ldflags})

include(CheckPIESupported)
check_pie_supported()
