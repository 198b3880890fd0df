# genera_man_page(SOURCE [MORE...]): turns a manual page written in Markdown,
# docs/man/NAME.SECTION.md, into roff with pandoc at build time and installs
# it into MANDIR/manSECTION, dated as the release. MORE are Markdown pages appended to it: a page
# of a source format is a short head of its own (NAME, SYNOPSIS) and the
# reference of the format, docs/*.md, which the filter cmake/man_page.lua
# fits into the page. The pages are built by the target man_pages.
# Without pandoc the function does nothing: the man pages are left out, and
# the program builds all the same (the Windows build never needs them).
find_program(GENERA_PANDOC pandoc)
if(GENERA_PANDOC AND NOT TARGET man_pages)
  add_custom_target(man_pages ALL)
endif()

# The pages carry the date of the release: that of the changelog's newest
# entry, as "2026-12-10".
function(genera_release_date out_var)
  set(changelog "${PROJECT_SOURCE_DIR}/packaging/changelog")
  set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${changelog}")
  file(STRINGS "${changelog}" trailers REGEX "^ -- ")
  list(GET trailers 0 trailer)
  if(NOT trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "${changelog}: no date in its newest entry's last line: ${trailer}")
  endif()
  set(day "${CMAKE_MATCH_1}")
  set(year "${CMAKE_MATCH_3}")
  list(FIND GENERA_MONTHS "${CMAKE_MATCH_2}" month)
  math(EXPR month "${month} + 1")
  if(day LESS 10)
    set(day "0${day}")
  endif()
  if(month LESS 10)
    set(month "0${month}")
  endif()
  set(${out_var} "${year}-${month}-${day}" PARENT_SCOPE)
endfunction()
set(GENERA_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)

function(genera_man_page source)
  if(NOT GENERA_PANDOC)
    return()
  endif()
  get_filename_component(source "${source}" ABSOLUTE)
  get_filename_component(page "${source}" NAME_WLE)  # NAME.SECTION
  if(NOT page MATCHES "^(.+)\\.([1-9])$")
    message(FATAL_ERROR "${source}: a man page's Markdown is named NAME.SECTION.md")
  endif()
  set(section "${CMAKE_MATCH_2}")
  set(inputs "${source}")
  foreach(more IN LISTS ARGN)
    get_filename_component(more "${more}" ABSOLUTE)
    list(APPEND inputs "${more}")
  endforeach()
  set(filter "${PROJECT_SOURCE_DIR}/cmake/man_page.lua")
  set(reader_filter "${PROJECT_SOURCE_DIR}/cmake/reader_text.lua")
  set(output "${PROJECT_BINARY_DIR}/man/${page}")
  genera_release_date(date)
  # -smart keeps "--out" two hyphens instead of a dash; the footer names
  # the version project() gives, so the page never lags behind the program.
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${GENERA_PANDOC}" -s -f markdown-smart -t man --lua-filter "${reader_filter}" --lua-filter "${filter}"
            -M "footer=${PROJECT_NAME} ${PROJECT_VERSION}" -M "date=${date}" -o "${output}" ${inputs}
    DEPENDS ${inputs} "${filter}" "${reader_filter}"
    COMMENT "Man page ${page}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "man_${page}" target)
  add_custom_target(${target} DEPENDS "${output}")
  add_dependencies(man_pages ${target})
  install(FILES "${output}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
endfunction()
