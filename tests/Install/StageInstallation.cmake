# Installs the build into a staging folder, as `cmake --install` with DESTDIR
# does for a package, with the programs stripped as the package has them.
# Run with -DBUILD_FOLDER=<build folder> -DSTAGING_FOLDER=<staging folder>.
file(REMOVE_RECURSE "${STAGING_FOLDER}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGING_FOLDER}
            ${CMAKE_COMMAND} --install ${BUILD_FOLDER} --strip
    OUTPUT_QUIET
    COMMAND_ERROR_IS_FATAL ANY)
