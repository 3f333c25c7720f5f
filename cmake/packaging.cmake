# SPDX-FileCopyrightText: 2026 The Quorvale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What a user installs, made by CPack: on Linux a Debian package (DEB) and
# an RPM package (RPM, for Fedora, openSUSE and their kin); on Windows an
# installer (NSIS, French) and the program alone in a zip (ZIP).
# tools/package.sh makes them all.

# Installs packaging/NAME into DESTINATION compressed, as Debian wants it.
function(install_gzipped name destination)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed} DEPENDS packaging/${name}
                       COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/${name} > ${compressed})
    add_custom_target(${name}.gz ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${destination})
endfunction()

set(QUORVALE_DESCRIPTION_FR "Fichiers de traduction Qt (TS) vers un tableur, et retour")
set(QUORVALE_COPYRIGHT "Copyright © 2026 The Quorvale developers")
set(CPACK_PACKAGE_NAME Quorvale)
set(CPACK_PACKAGE_VENDOR Quorvale)
set(CPACK_PACKAGE_CONTACT "Quorvale developers <quorvale@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move Qt TS translations to a spreadsheet table and back")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quorvale)
# The licence, with Windows' line ends: the installer shows it on a page of
# its own, and it lies beside the Windows program.
configure_file(LICENSE LICENSE.txt NEWLINE_STYLE CRLF)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(QUORVALE_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/quorvale.ico)
    set(QUORVALE_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
    configure_file(packaging/quorvale.rc.in quorvale.rc @ONLY)
    target_sources(quorvale PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/quorvale.rc)
    install(TARGETS quorvale RUNTIME DESTINATION .)
    # Qt is linked in: the notice names it, its licence and where the source
    # and the way to relink the program with another Qt are.
    configure_file(packaging/NOTICE.txt NOTICE.txt NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt DESTINATION .)

    set(CPACK_GENERATOR NSIS ZIP)
    set(CPACK_PACKAGE_EXECUTABLES quorvale Quorvale)   # the Start menu's entry
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_DISPLAY_NAME Quorvale)
    set(CPACK_NSIS_PACKAGE_NAME Quorvale)
    set(CPACK_NSIS_MUI_ICON ${QUORVALE_ICON})
    set(CPACK_NSIS_MUI_UNIICON ${QUORVALE_ICON})
    set(CPACK_NSIS_INSTALLED_ICON_NAME quorvale.exe)   # in "Applications et fonctionnalités"
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # CPack's own installer script, with French as its one language, made a
    # 64-bit program like the one that it installs (Windows on x86-64 runs
    # it without its 32-bit layer).
    file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in template)
    string(REGEX REPLACE "(!insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n[ \t]*)+"
           "!insertmacro MUI_LANGUAGE \"French\"\n" template "${template}")
    string(FIND "${template}" "\n" first_line_end)
    string(SUBSTRING "${template}" 0 ${first_line_end} first_line)
    string(SUBSTRING "${template}" ${first_line_end} -1 rest)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cpack/NSIS.template.in "${first_line}\nTarget amd64-unicode${rest}")
    set(CPACK_MODULE_PATH ${CMAKE_CURRENT_BINARY_DIR}/cpack)
    # The zip holds quorvale.exe, its licence and its notice, not in a folder.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cpack/options.cmake
         "if(CPACK_GENERATOR STREQUAL \"ZIP\")\n  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)\nendif()\n")
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/cpack/options.cmake)
else()
    set(data ${CMAKE_INSTALL_DATADIR})
    install(TARGETS quorvale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES packaging/quorvale.desktop DESTINATION ${data}/applications)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES packaging/icons/quorvale-${size}.png DESTINATION ${data}/icons/hicolor/${size}x${size}/apps
                RENAME quorvale.png)
    endforeach()
    install(FILES packaging/icons/quorvale.svg DESTINATION ${data}/icons/hicolor/scalable/apps)
    install(FILES packaging/org.quorvale.quorvale.metainfo.xml DESTINATION ${data}/metainfo)   # software centres

    set(CPACK_GENERATOR DEB RPM)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(description "Quorvale moves the text of a Qt Linguist translation file (TS) into a
tab-separated table that a spreadsheet program opens, and brings the table
back as a TS file once the translator has filled it in. One small window,
in French, with no settings.")
    set(CPACK_DEBIAN_PACKAGE_NAME quorvale)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION text)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # the dependencies, from the program's libraries
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${description}")
    # What Debian asks of every package: its copyright, its changelog, a
    # manual page; the first two in Debian's own forms.
    set(doc ${data}/doc/quorvale)
    install(FILES packaging/copyright DESTINATION ${doc})
    install_gzipped(changelog ${doc})
    install_gzipped(quorvale.1 ${CMAKE_INSTALL_MANDIR}/man1)

    # As Fedora's guidelines want an RPM: its licence marked %license where
    # they put licences, its changelog in the package's own, the licence in
    # SPDX, and its dependencies found by rpmbuild in the program's libraries.
    set(CPACK_RPM_PACKAGE_NAME quorvale)
    set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
    set(CPACK_RPM_PACKAGE_RELEASE 1)
    set(CPACK_RPM_PACKAGE_LICENSE GPL-3.0-or-later)
    set(CPACK_RPM_PACKAGE_URL https://example.org/quorvale)
    set(CPACK_RPM_PACKAGE_SUMMARY "Move Qt TS translations to a spreadsheet table and back")
    set(CPACK_RPM_PACKAGE_DESCRIPTION "${description}")
    set(CPACK_RPM_PACKAGE_AUTOREQ ON)
    set(CPACK_RPM_PACKAGE_AUTOPROV OFF)
    set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_SOURCE_DIR}/packaging/quorvale.changes)
    install(FILES LICENSE DESTINATION ${data}/licenses/quorvale)
    set(CPACK_RPM_USER_FILELIST "%license /usr/${data}/licenses/quorvale/LICENSE")
    # The folders that the system owns are not the package's.
    set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/applications /usr/share/metainfo /usr/share/icons
        /usr/share/icons/hicolor /usr/share/man /usr/share/man/man1 /usr/share/licenses)
    foreach(folder 16x16 24x24 32x32 48x48 64x64 128x128 256x256 scalable)
        list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/icons/hicolor/${folder}
             /usr/share/icons/hicolor/${folder}/apps)
    endforeach()
    # No links of the system's own in the package; the packager named.
    set(CPACK_RPM_SPEC_MORE_DEFINE "%define _build_id_links none\n%define packager ${CPACK_PACKAGE_CONTACT}")
    # Each package its own documents: Debian's in the .deb, the licence where
    # Fedora puts it in the RPM.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/cpack/documents.cmake [=[
if(CPACK_GENERATOR STREQUAL "RPM")
    file(REMOVE_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/doc")
else()
    file(REMOVE_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/licenses")
endif()
]=])
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_BINARY_DIR}/cpack/documents.cmake)
endif()
include(CPack)
