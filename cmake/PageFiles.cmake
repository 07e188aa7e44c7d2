# The page's files from web/PageFiles.txt: ZIMBEL_PAGE_FILES for the
# package, and the server's table of them with their types
# (generated/serve/PageFiles.inc), both written again when the list changes.
set(pageFileList ${PROJECT_SOURCE_DIR}/web/PageFiles.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pageFileList})
file(STRINGS ${pageFileList} pageFileLines REGEX "^[^#]")
set(ZIMBEL_PAGE_FILES "")
set(pageFileRows "")
foreach(line IN LISTS pageFileLines)
  if(NOT line MATCHES "^([^ ]+) +(yes|no) +(yes|no) +(.+[^ ]) *$")
    message(FATAL_ERROR "${pageFileList}: a line not of four fields: ${line}")
  endif()
  list(APPEND ZIMBEL_PAGE_FILES ${CMAKE_MATCH_1})
  # A folder is answered with its index, as any static host answers it.
  if(CMAKE_MATCH_1 STREQUAL "index.html")
    string(APPEND pageFileRows "    {\"/\", \"${CMAKE_MATCH_1}\", \"${CMAKE_MATCH_4}\"},\n")
  endif()
  string(APPEND pageFileRows "    {\"/${CMAKE_MATCH_1}\", \"${CMAKE_MATCH_1}\", \"${CMAKE_MATCH_4}\"},\n")
endforeach()
set(ZIMBEL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${ZIMBEL_GENERATED_DIR}/serve/PageFiles.inc
  CONTENT "// Written by cmake/PageFiles.cmake from web/PageFiles.txt.\n${pageFileRows}" @ONLY)
