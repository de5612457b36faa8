# The libraries, one folder under src/ each, lowest layer first. Everything that builds them takes the list
# from here: the top level, the tests (a folder of the same name under tests/) and the browser build.
#
# KORVANE_CORE_FOLDERS: the Qt-free core that needs nothing beyond the standard library (and header-only
# nlohmann-json), so the browser build compiles it to WebAssembly as it is.
set(KORVANE_CORE_FOLDERS platform lang engine geo weather inputs room)
# KORVANE_FOLDERS: all of them; sites (ICU) and report (libxlsxwriter) are native only, rooms (a room's
# options as a calculation) needs sites, ui and app need Qt, cli is the calculator.
set(KORVANE_FOLDERS ${KORVANE_CORE_FOLDERS} sites report rooms ui app cli)

# add_subdirectory for each folder that exists (a folder is picked up once it has a CMakeLists.txt), from
# root/src/<folder> into the build's <binary_prefix><folder>.
function(korvane_add_folders root binary_prefix)
    foreach(dir ${ARGN})
        if(EXISTS ${root}/src/${dir}/CMakeLists.txt)
            add_subdirectory(${root}/src/${dir} ${binary_prefix}${dir})
        endif()
    endforeach()
endfunction()
