# A Debian package of the editor and the batch tool: `cpack -G DEB` in a configured and built folder.
# The libraries they need (Qt, the C++ runtime) are found by dpkg-shlibdeps from the binaries; the
# manual pages, the AppStream metainfo, the changelog and the copyright file come from packaging/.
include(GNUInstallDirs)

set(TIRVEL_MAINTAINER "Tirvel Project <maintainers@tirvel.org>")
set(TIRVEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TIRVEL_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(TIRVEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tirvel)

# The newest changelog entry and the newest AppStream release name the version being packaged.
file(STRINGS ${TIRVEL_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tirvel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}: add one")
endif()
file(READ ${TIRVEL_PACKAGING_DIR}/tirvel.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "packaging/tirvel.metainfo.xml: the newest release is not ${PROJECT_VERSION}: add one")
endif()

# Compressed as Debian wants it: at most compression, no name and no time stamp in the header, so
# the same source gives the same bytes.
function(tirvel_gzip source output)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${output} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${source} failed")
    endif()
endfunction()

# The manual pages carry the project's version.
set(manual_pages tirvel-toc)
if(TIRVEL_BUILD_GUI)
    list(APPEND manual_pages tirvel)
endif()
foreach(page ${manual_pages})
    configure_file(${TIRVEL_PACKAGING_DIR}/${page}.1 ${TIRVEL_PACKAGING_OUT}/${page}.1 @ONLY)
    tirvel_gzip(${TIRVEL_PACKAGING_OUT}/${page}.1 ${TIRVEL_PACKAGING_OUT}/${page}.1.gz)
    install(FILES ${TIRVEL_PACKAGING_OUT}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(TIRVEL_BUILD_GUI)
    install(FILES ${TIRVEL_PACKAGING_DIR}/tirvel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# A native package: its changelog is changelog.gz.
tirvel_gzip(${TIRVEL_PACKAGING_DIR}/changelog ${TIRVEL_PACKAGING_OUT}/changelog.gz)
install(FILES ${TIRVEL_PACKAGING_OUT}/changelog.gz DESTINATION ${TIRVEL_DOC_DIR})

# The copyright file in Debian's machine-readable form, made from LICENSE: its copyright line gives
# the holder, the text after it the licence (Debian calls the MIT licence "Expat").
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+(.+[^\n])\n*$")
    message(FATAL_ERROR "LICENSE: no copyright line followed by the licence text")
endif()
set(copyright_holder ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" license_text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
file(WRITE ${TIRVEL_PACKAGING_OUT}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: tirvel
Upstream-Contact: ${TIRVEL_MAINTAINER}

Files: *
Copyright: ${copyright_holder}
License: Expat
${license_text}
")
install(FILES ${TIRVEL_PACKAGING_OUT}/copyright DESTINATION ${TIRVEL_DOC_DIR})

set(CPACK_PACKAGE_NAME tirvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Table-of-contents editor for legal documents, with a batch tool")
# The synopsis above is the first line of the field; this is the extended description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Тирвель builds the tables of contents of Russian legal documents (.rla files
in code page 866): it recognises the headings, gives each a level, lays the
entries out for a 66-column page and writes them into the text. The operator
reviews them in the editor (tirvel) and in its panel of entries, adjusts them
and saves, working through whole folders as a queue.

The headless batch tool (tirvel-toc) does the same for whole archives, on all
cores.")
set(CPACK_PACKAGE_CONTACT "${TIRVEL_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt's own Russian texts (buttons, file dialogs, the context menu) are not a library dependency, so
# dpkg-shlibdeps cannot find them; the editor speaks English there without them.
if(TIRVEL_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
endif()
find_program(TIRVEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TIRVEL_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    # Without dpkg-dev the library dependencies are declared by hand, as Debian 12 names them.
    list(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36)" "libstdc++6 (>= 12)" "libgcc-s1")
    if(TIRVEL_BUILD_GUI)
        list(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)"
             "libqt6widgets6 (>= 6.4)" "libqt6printsupport6 (>= 6.4)")
    endif()
    list(JOIN CPACK_DEBIAN_PACKAGE_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
include(CPack)
