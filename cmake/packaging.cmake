# What `cmake --install` puts where, and the packages CPack makes of it: a .deb and an .rpm
# of the POSIX program, a .zip of the Windows one.
include(GNUInstallDirs)

# Directories the install makes get these rather than whatever the umask leaves, so that
# packages do not depend on the umask of whoever built them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME link-unwrapper)
set(CPACK_PACKAGE_VENDOR "The link-unwrapper developers")
set(CPACK_PACKAGE_CONTACT "The link-unwrapper developers <link-unwrapper@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "open links of link-redirector services as direct links")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_checks.cmake)

if(WIN32)
  # A portable zip: the program beside its README and licence, nothing to install. The
  # README.txt a Windows user reads names this build's services; both texts get CRLF line
  # ends, which every Windows editor shows as lines.
  configure_file(packaging/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS link-unwrapper RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE
                ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/link-unwrapper)
  # The manual's date: SOURCE_DATE_EPOCH's when it is set, as for a release, else today's.
  string(TIMESTAMP LINK_UNWRAPPER_DATE "%Y-%m-%d" UTC)
  configure_file(docs/link-unwrapper.1.in link-unwrapper.1 @ONLY)
  # Debian wants manual pages and changelogs compressed, reproducibly (-n: no timestamp).
  foreach(file ${PROJECT_BINARY_DIR}/link-unwrapper.1
               ${PROJECT_SOURCE_DIR}/packaging/changelog)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${name}.gz COMMAND gzip -9nc ${file} > ${name}.gz DEPENDS ${file}
                       VERBATIM)
    list(APPEND compressed ${PROJECT_BINARY_DIR}/${name}.gz)
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})

  install(TARGETS link-unwrapper RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/link-unwrapper.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES docs/link-unwrapper.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${docdir})

  set(CPACK_GENERATOR DEB)
  set(description
      "Given a link of one of two link-redirector services, whose links are the\n"
      "service's address followed by the target address, link-unwrapper opens the\n"
      "target directly with xdg-open, if it is a web link. Links of other sites are\n"
      "dropped. It is meant as the command another program opens links with, or as\n"
      "the default browser, forwarding every web link to the browser you had.")
  string(REPLACE ";" "" description "${description}")

  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The opener is xdg-open; without it the program still runs and says it cannot start it.
  # Forwarding as the default browser launches entries with GIO, from GLib's library (named
  # with t64 from Debian 13 on), and sets itself up with xdg-mime.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libglib2.0-0t64 | libglib2.0-0")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${description}")

  set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
  set(CPACK_RPM_PACKAGE_LICENSE MIT)
  set(CPACK_RPM_PACKAGE_SUMMARY "Open links of link-redirector services as direct links")
  set(CPACK_RPM_PACKAGE_DESCRIPTION "${description}")
  set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_SOURCE_DIR}/packaging/rpm-changelog)
  # Directories that belong to the system, not to this package.
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
      /usr/share/applications /usr/share/man /usr/share/man/man1)
  # No build host and no build time in the package, and no file newer than the sources.
  # The opener and GIO are weak dependencies, as in the .deb. CPack drops its own weak-dependency
  # settings when its probe for them (`rpm --suggests`) fails, as it does with Debian's rpm
  # 4.18, so the tag goes straight into the package header rpmbuild is given.
  set(CPACK_RPM_SPEC_MORE_DEFINE
      "Recommends: xdg-utils
Recommends: glib2
%define packager ${CPACK_PACKAGE_CONTACT}
%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none")
endif()

include(CPack)
