# Compiler settings shared by every target of the project.

add_compile_options(-Wall -Wextra)

if(CVK_SANITIZE)
    string(REPLACE ";" "," _cvk_san "${CVK_SANITIZE}")
    add_compile_options(-fsanitize=${_cvk_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_cvk_san})
endif()

# cvk_library(<name> <folder-relative glob roots...>): a static library made of
# every source file below the given folders, so that adding a file to a folder
# needs no edit of a build file.
function(cvk_glob_sources out)
    set(_files)
    foreach(root IN LISTS ARGN)
        file(GLOB_RECURSE _found CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/${root}/*.cpp
             ${CMAKE_CURRENT_SOURCE_DIR}/${root}/*.h)
        list(APPEND _files ${_found})
    endforeach()
    set(${out} ${_files} PARENT_SCOPE)
endfunction()

# cvk_add_string_tables(<target> <resource folder> <.ts files>...): compiles a
# program's string tables from their Linguist files and embeds them under the
# resource folder, where the localised-string lookup finds them.
function(cvk_add_string_tables target folder)
    qt_add_lrelease(${target} TS_FILES ${ARGN} QM_FILES_OUTPUT_VARIABLE qm_files)
    qt_add_resources(${target} ${target}_strings
        PREFIX ${folder}
        BASE ${CMAKE_CURRENT_BINARY_DIR}
        FILES ${qm_files})
endfunction()
