# The Debian package: `cmake --build build --target package` writes
# build/pelmora-po_<version>_<arch>.deb (scripts/package.sh also checks it with lintian).
include(GNUInstallDirs)
set(PO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(PO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pelmora-po)

# The manual page and the changelog go compressed, without a time stamp in the header, so
# that the same tree makes the same package.
foreach(doc IN ITEMS pelmora-po.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${PO_PACKAGING_DIR}/${doc} > ${CMAKE_BINARY_DIR}/packaging/${doc}.gz
    DEPENDS ${PO_PACKAGING_DIR}/${doc} VERBATIM)
endforeach()
add_custom_target(po_packaging_docs ALL DEPENDS
  ${CMAKE_BINARY_DIR}/packaging/pelmora-po.1.gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

install(FILES ${CMAKE_BINARY_DIR}/packaging/pelmora-po.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${PO_PACKAGING_DIR}/copyright
        DESTINATION ${PO_DOC_DIR})
install(FILES ${PO_PACKAGING_DIR}/pelmora-po.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME org.pelmora.pelmorapo.metainfo.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora-po)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Pelmora PO developers <pelmora-po@pelmora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fill in, save and print purchase orders")
# Lines of the extended description, each below 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "A purchase order drawn on screen as it will print.
Every text on it is edited in place; line amounts, totals and tax follow
each keystroke. Orders are kept in INI-style files, recovered after a crash,
and printed through a preview or saved as PDF.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The sheet's and the printout's fonts (Arial, Courier New) are drawn with these metrics; a
# file manager knows order files through shared-mime-info; "E-mail..." hands the order to the
# desktop's mail program through xdg-email.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, shared-mime-info, xdg-utils")
include(CPack)
