# make install and make deb: the native exporter with its manual page, its
# bash completion, the README and the examples; the server with the page,
# its service unit, its manual page and completion, and an nginx example.
# One package each.
include(GNUInstallDirs)

# The version the window's About box shows.
file(STRINGS ${PROJECT_SOURCE_DIR}/model/AboutText.cpp versionLine REGEX "^const char kAppVersion\\[\\] = ")
string(REGEX REPLACE ".*\"([^\"]*)\".*" "\\1" ZIMBEL_VERSION "${versionLine}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/model/AboutText.cpp)

set(CPACK_PACKAGE_CONTACT "zimbelplot maintainers <maintainers@users.noreply.c-seed-6e57260f.example>")

# Debian keeps a package's documents, its copyright and its changelog under
# the package's name.
set(docDir ${CMAKE_INSTALL_DATADIR}/doc/zimbelplot-export)
string(TIMESTAMP changelogDate "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(cmake/changelog.in changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/changelog COMMAND_ERROR_IS_FATAL ANY)
configure_file(serve/changelog.in serve-changelog/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/serve-changelog/changelog COMMAND_ERROR_IS_FATAL ANY)

# The permissions a package wants, whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS zimbelplot-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT export)
install(FILES ${ZIMBEL_EXPORT_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT export)
install(FILES ${ZIMBEL_EXPORT_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME zimbelplot-export COMPONENT export)
install(FILES README.md export/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${docDir} COMPONENT export)
install(DIRECTORY examples/ DESTINATION ${docDir}/examples COMPONENT export)

# The server's page is the one `make web` builds beside this tree.
set(serveDocDir ${CMAKE_INSTALL_DATADIR}/doc/zimbelplot-serve)
set(pageTree ${CMAKE_BINARY_DIR}/../web)
install(TARGETS zimbelplot-serve RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT serve)
install(FILES ${ZIMBEL_SERVE_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT serve)
install(FILES ${ZIMBEL_SERVE_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME zimbelplot-serve COMPONENT serve)
list(TRANSFORM ZIMBEL_PAGE_FILES PREPEND ${pageTree}/ OUTPUT_VARIABLE pageFiles)
install(FILES ${pageFiles} DESTINATION ${ZIMBEL_SERVE_PAGE} COMPONENT serve)
install(FILES serve/zimbelplot-serve.service serve/zimbelplot-serve.socket DESTINATION lib/systemd/system
  COMPONENT serve)
install(FILES README.md serve/copyright ${CMAKE_BINARY_DIR}/serve-changelog/changelog.gz serve/nginx.conf
  DESTINATION ${serveDocDir} COMPONENT serve)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL export serve)
set(CPACK_PACKAGE_NAME zimbelplot)
set(CPACK_DEBIAN_EXPORT_PACKAGE_NAME zimbelplot-export)
set(CPACK_DEBIAN_SERVE_PACKAGE_NAME zimbelplot-serve)
set(CPACK_DEBIAN_SERVE_PACKAGE_SECTION httpd)
set(CPACK_PACKAGE_VERSION ${ZIMBEL_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_EXPORT_DESCRIPTION "draw files of numbers as line graphs in PNG or SVG
zimbelplot-export draws a plain text file of numbers, one a line, as the
line graph the zimbelplot window shows: point markers joined by a polyline,
optional axes and tick marks, a coloured or transparent background and a
vertical scale that can fit the data. Every setting of the window's tool
dialog is a long option. It writes 8-bit RGBA PNG or SVG, one picture per
file, for scripts and batches.")
set(CPACK_DEBIAN_SERVE_DESCRIPTION "serve graph pictures from links over HTTP
zimbelplot-serve serves the zimbelplot page and, at /LINK.png and
/LINK.svg, the picture of the graph a page link carries: the same bytes
zimbelplot-export writes. The link holds the whole graph, so nothing is
stored and instances need share nothing. Pictures are cacheable and may be
shown by any web page; bad requests get a 4xx and a busy server a 503. It
comes with a sandboxed systemd service and an nginx example.")
include(CPack)
