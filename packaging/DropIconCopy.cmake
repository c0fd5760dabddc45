# Run by CPack once the files are staged, before it packs them: a Debian
# package cannot hold a hard link, so the package leaves out the client's
# copy with an icon, and its postinst makes it a hard link of the one
# program, as the install rules do.
file(REMOVE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_CVK_ICON_COPY_PROGRAM}")
