# Third-party packages, all from Debian 12's archive (see .ci/run).

find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(nlohmann_json 3.11 REQUIRED)
find_package(CURL REQUIRED)
find_package(OpenSSL REQUIRED)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(NETSNMP REQUIRED IMPORTED_TARGET netsnmp)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)

find_path(CUPS_INCLUDE_DIR cups/cups.h REQUIRED)
find_library(CUPS_LIBRARY cups REQUIRED)
add_library(cvk_cups INTERFACE)
target_include_directories(cvk_cups INTERFACE ${CUPS_INCLUDE_DIR})
target_link_libraries(cvk_cups INTERFACE ${CUPS_LIBRARY})

if(CVK_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()

# The windows of the client and the uninstaller: Qt 6 Widgets, D-Bus for the
# session manager, and the Linguist tools that compile the string tables.
if(CVK_BUILD_GUI)
    set(_cvk_qt_components Core Gui Widgets DBus LinguistTools)
    if(CVK_BUILD_TESTS)
        list(APPEND _cvk_qt_components Test)
    endif()
    find_package(Qt6 6.4 REQUIRED COMPONENTS ${_cvk_qt_components})
endif()
