# The Debian package ("bash scripts/package.sh"): the "program" component as the
# system layout installs it, plus what Debian asks of every package (copyright,
# changelog, manual page), with the dependencies read from the executable.
set(CORVANTHEIL_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CORVANTHEIL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/corvantheil)

# Compressed here, at configure time, so that a build of the program alone can be
# packaged. "-n" keeps the name and time out, so the same text packs the same.
configure_file(${CORVANTHEIL_PACKAGING_DIR}/corvantheil.1.in packaging/corvantheil.1 @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CORVANTHEIL_PACKAGING_DIR}/changelog)
foreach(pair "packaging/corvantheil.1|corvantheil.1.gz"
             "${CORVANTHEIL_PACKAGING_DIR}/changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    execute_process(COMMAND gzip -9nc ${from} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/${to} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(FILES ${CORVANTHEIL_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CORVANTHEIL_DOC_DIR} COMPONENT program)
install(FILES ${CMAKE_BINARY_DIR}/packaging/corvantheil.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvantheil)
set(CPACK_PACKAGE_VENDOR "Corvantheil developers")
set(CPACK_PACKAGE_CONTACT "Corvantheil developers <developers@corvantheil.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "inventory of a coin collection")
set(CPACK_PACKAGE_DESCRIPTION [[
Corvantheil keeps the inventory of a coin collection: one item per coin with
its description, year, country, type, mint mark and grade, what it is worth
and what was paid for it, where it is stored, notes and pictures of it. The
home page shows the coins six at a time, filtered by type, by value or by
whether they have pictures; a summary of a coin can be printed from the web
browser.

Each user keeps their own collection in ~/.local/share/Corvantheil/;
removing the package leaves every collection in place.]])
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the TIFF, WebP and other picture readers as plugins: no library links them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-image-formats-plugins)
# Help and the report open in the browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# CPack builds the "preinstall" target first, which would otherwise build the
# tests and the benchmark too; the package needs the program alone.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)

if(CORVANTHEIL_TESTS)
    add_test(NAME package_check
        COMMAND bash ${CORVANTHEIL_PACKAGING_DIR}/check.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(package_check PROPERTIES TIMEOUT 600)
endif()
