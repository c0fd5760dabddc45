# Where the installation puts everything. The programs look for their
# folders at the system's own fixed paths (Platform/Folders.cpp, the hook's
# backend lookup, polkit's and systemd's folders) and the uninstall script
# names every path it removes, so the installed tree is the same whatever
# CMAKE_INSTALL_PREFIX says: every destination is absolute, with
# GNUInstallDirs naming the usual folders below /usr.
include(GNUInstallDirs)
set(CVK_SYSTEM_PREFIX "/usr")
set(CVK_PACKAGE_NAME "quorvel")

# The installed path of the client program, the one place that names it: the
# user unit that starts the client runs this program, and the hook recognises
# the client's process by its file name. Its folder is the client's bundle.
set(CVK_CLIENT_PROGRAM "/usr/lib/quorvel/Quorvel Client" CACHE STRING
    "Installed path of the client program that the user unit starts")
set(CVK_CLIENT_UNIT "quorvel-client.service")
get_filename_component(CVK_CLIENT_BUNDLE "${CVK_CLIENT_PROGRAM}" DIRECTORY)
get_filename_component(CVK_CLIENT_EXECUTABLE "${CVK_CLIENT_PROGRAM}" NAME)
# The copy of the client with an icon, a bundle of its own inside the client's.
set(CVK_ICON_COPY_BUNDLE "${CVK_CLIENT_BUNDLE}/Contents/${CVK_CLIENT_EXECUTABLE}.app")
set(CVK_ICON_COPY_PROGRAM "${CVK_ICON_COPY_BUNDLE}/Contents/MacOS/${CVK_CLIENT_EXECUTABLE}")

# The install folder of the programs and their resources, and the scripts
# that Uninstall and Vantro run from it.
set(CVK_INSTALL_FOLDER "/usr/lib/quorvel")
set(CVK_UNINSTALL_SCRIPT "${CVK_INSTALL_FOLDER}/Contents/Resources/uninstaller.sh")
set(CVK_REPAIR_SCRIPT
    "${CVK_INSTALL_FOLDER}/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh")

# CUPS's backend folder on Debian, and the hidden folder beside it where a
# tracked queue's own backend lives, run by cvkhook in its place.
set(CVK_CUPS_BACKEND_FOLDER "/usr/lib/cups/backend")
set(CVK_WRAPPED_BACKEND_FOLDER "/usr/lib/cups/.cvkbackend")

set(CVK_USER_UNIT_FOLDER "/usr/lib/systemd/user")
set(CVK_POLKIT_ACTION_FOLDER "/usr/share/polkit-1/actions")
set(CVK_POLKIT_ACTION_FILE "com.corvane.quorvel.uninstall.policy")
set(CVK_SBIN_FOLDER "${CVK_SYSTEM_PREFIX}/${CMAKE_INSTALL_SBINDIR}")
set(CVK_VANTRO_PROGRAM "${CVK_SBIN_FOLDER}/Vantro")
set(CVK_DOC_FOLDER "${CVK_SYSTEM_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/doc/${CVK_PACKAGE_NAME}")
set(CVK_MANUAL_FOLDER "${CVK_SYSTEM_PREFIX}/${CMAKE_INSTALL_MANDIR}")

# The folders the programs write to.
set(CVK_SYSTEM_PREFERENCES_FOLDER "/etc/quorvel")
set(CVK_SYSTEM_LOG_FOLDER "/var/log/quorvel")
set(CVK_SYSTEM_DATA_FOLDER "/var/lib/quorvel")

# The user unit, made from its template with the client program's path.
configure_file(${PROJECT_SOURCE_DIR}/Client/systemd/quorvel-client.service.in
               ${PROJECT_BINARY_DIR}/systemd/${CVK_CLIENT_UNIT} @ONLY)
