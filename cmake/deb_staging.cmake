# Run by CPack on the staging tree of the Debian package, before it is
# packed: what Debian wants and a plain `cmake --install` does not.
# - programs stripped as Debian strips them: no symbols, no .comment and
#   .note sections (the build keeps its debug information);
# - man pages compressed with gzip -9n (no name, no time stamp: the same
#   bytes on every build);
# - the Debian changelog, checked against the version being packed, as
#   DOCDIR/changelog.gz, the name of a native package's changelog;
# - the documents over 4 kB compressed, as Debian's policy asks; their
#   links to each other then name the .gz files, and the README's link to
#   LICENSE names the copyright file that holds it.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")

function(gzip_in_place path)
  execute_process(COMMAND gzip -9nf "${path}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip -9n ${path} failed")
  endif()
endfunction()

file(GLOB programs "${root}/${CPACK_GENERA_BINDIR}/*")
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_GENERA_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CPACK_GENERA_STRIP} ${program} failed")
  endif()
endforeach()

file(GLOB_RECURSE pages "${root}/${CPACK_GENERA_MANDIR}/man*/*")
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$")
    gzip_in_place("${page}")
  endif()
endforeach()

file(STRINGS "${CPACK_GENERA_CHANGELOG}" top LIMIT_COUNT 1)
if(NOT top MATCHES "^${CPACK_PACKAGE_NAME} \\(([^)]+)\\)")
  message(FATAL_ERROR "${CPACK_GENERA_CHANGELOG}: the first line is not \"${CPACK_PACKAGE_NAME} (VERSION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL CPACK_PACKAGE_VERSION)
  message(FATAL_ERROR "${CPACK_GENERA_CHANGELOG}: the newest entry is ${CMAKE_MATCH_1}, the package "
                      "${CPACK_PACKAGE_VERSION}: add an entry for ${CPACK_PACKAGE_VERSION} at the top")
endif()
file(COPY_FILE "${CPACK_GENERA_CHANGELOG}" "${root}/${CPACK_GENERA_DOCDIR}/changelog")
file(CHMOD "${root}/${CPACK_GENERA_DOCDIR}/changelog" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
gzip_in_place("${root}/${CPACK_GENERA_DOCDIR}/changelog")

# The Markdown documents: links first, while every name is still known.
file(GLOB_RECURSE documents RELATIVE "${root}/${CPACK_GENERA_DOCDIR}" "${root}/${CPACK_GENERA_DOCDIR}/*.md")
set(compressed "")
foreach(document IN LISTS documents)
  file(SIZE "${root}/${CPACK_GENERA_DOCDIR}/${document}" size)
  if(size GREATER 4096)
    list(APPEND compressed "${document}")
  endif()
endforeach()
foreach(document IN LISTS documents)
  set(path "${root}/${CPACK_GENERA_DOCDIR}/${document}")
  file(READ "${path}" text)
  get_filename_component(here "${document}" DIRECTORY)
  foreach(target IN LISTS compressed)
    # The link as written from this document's folder: "docs/codes.md"
    # from the README, "codes.md" from its neighbours.
    file(RELATIVE_PATH written "/${here}" "/${target}")
    string(REPLACE "](${written})" "](${written}.gz)" text "${text}")
    string(REPLACE "](${written}#" "](${written}.gz#" text "${text}")
  endforeach()
  string(REPLACE "](LICENSE)" "](copyright)" text "${text}")
  file(WRITE "${path}" "${text}")
endforeach()
foreach(document IN LISTS compressed)
  gzip_in_place("${root}/${CPACK_GENERA_DOCDIR}/${document}")
endforeach()
