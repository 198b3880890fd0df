# What `cmake --install` puts where, and the package CPack makes of it: on
# Linux a Debian package (genera-scenario_VERSION_ARCH.deb), for Windows a
# portable zip (genera_scenario-VERSION-win64.zip). scripts/package.sh
# builds both; docs/packaging.md explains the choices.
include(GNUInstallDirs)
include(cmake/man_page.cmake)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The genera_scenario authors")
set(CPACK_PACKAGE_CONTACT "The genera_scenario authors <genera-scenario@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scenario pack builder for a train-driving simulator")

if(WIN32)
  # Everything in one folder: unpack anywhere and run. Explorer starts the
  # .exe, cmd and PowerShell the .com (cmake/windows_program.cmake). The
  # texts are written for Windows users and get CR LF line ends, for the
  # editors that still want them; the licence is followed by those of the
  # libraries compiled into the program.
  install(TARGETS genera_scenario genera_scenario_console RUNTIME DESTINATION .)
  foreach(text IN ITEMS "README.txt|packaging/windows/README.txt"
                        "CHANGELOG.txt|packaging/changelog"
                        "LICENSE.txt|LICENSE;packaging/third_party.txt"
                        "genera_scenario_completion.ps1|packaging/windows/genera_scenario_completion.ps1")
    string(REPLACE "|" ";" sources "${text}")
    list(POP_FRONT sources target)
    set(content "")
    foreach(source IN LISTS sources)
      file(READ "${PROJECT_SOURCE_DIR}/${source}" part)
      if(content)
        string(APPEND content "\n")
      endif()
      string(APPEND content "${part}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${source}")
    endforeach()
    string(REPLACE "@VERSION@" "${PROJECT_VERSION}" content "${content}")
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${PROJECT_BINARY_DIR}/zip/${target}" "${content}")
    install(FILES "${PROJECT_BINARY_DIR}/zip/${target}" DESTINATION .)
  endforeach()

  # The manual as HTML pages side by side in manual\, made by pandoc from
  # the same Markdown as the man page and the authors' manual; links
  # between the pages go to the .html files (cmake/html_manual.lua).
  find_program(GENERA_PANDOC pandoc)
  if(GENERA_PANDOC)
    set(html_pages "")
    foreach(page IN ITEMS "index|packaging/windows/manual.md|genera_scenario manual"
                          "commands|docs/man/genera_scenario.1.md|genera_scenario: the commands"
                          "tutorial|docs/tutorial.md|"
                          "line-source|docs/line-source.md|"
                          "train-source|docs/train-source.md|"
                          "codes|docs/codes.md|"
                          "compiled-files|docs/compiled-files.md|"
                          "editors|docs/editors.md|")
      string(REPLACE "|" ";" parts "${page}")
      list(GET parts 0 name)
      list(GET parts 1 source)
      list(GET parts 2 title)
      set(output "${PROJECT_BINARY_DIR}/zip/manual/${name}.html")
      set(metadata "")
      if(title)
        list(APPEND metadata -M "title=${title}")
      else()
        # The page's own first heading names it.
        list(APPEND metadata --shift-heading-level-by=-1)
      endif()
      add_custom_command(
        OUTPUT "${output}"
        COMMAND "${GENERA_PANDOC}" -s -f markdown-smart -t html5 ${metadata}
                --lua-filter "${PROJECT_SOURCE_DIR}/cmake/reader_text.lua"
                --lua-filter "${PROJECT_SOURCE_DIR}/cmake/html_manual.lua"
                -o "${output}" "${PROJECT_SOURCE_DIR}/${source}"
        DEPENDS "${PROJECT_SOURCE_DIR}/${source}" "${PROJECT_SOURCE_DIR}/cmake/html_manual.lua"
                "${PROJECT_SOURCE_DIR}/cmake/reader_text.lua"
        COMMENT "HTML manual ${name}.html"
        VERBATIM)
      list(APPEND html_pages "${output}")
    endforeach()
    add_custom_target(html_manual ALL DEPENDS ${html_pages})
    install(FILES ${html_pages} DESTINATION manual)
  else()
    message(WARNING "pandoc not found: the zip will have no manual")
  endif()

  # The windows preset links stripped already: the zip holds the very
  # program built (strip again would only change its time stamp).
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME genera_scenario)
  set(CPACK_PACKAGE_FILE_NAME "genera_scenario-${PROJECT_VERSION}-win64")
else()
  # Debian's package is genera-scenario (no "_" in its names); the
  # documents follow it unless CMAKE_INSTALL_DOCDIR is given.
  if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
    set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/genera-scenario")
  endif()

  install(TARGETS genera_scenario RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  genera_man_page(docs/man/genera_scenario.1.md)
  genera_man_page(docs/man/genera_scenario-linea.5.md docs/line-source.md)
  genera_man_page(docs/man/genera_scenario-treno.5.md docs/train-source.md)
  install(FILES README.md packaging/copyright DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  # The authors' manual and the README's two pictures, where the README's
  # links find them. The package compresses the Markdown and points the
  # links at the .gz files (cmake/deb_staging.cmake).
  install(FILES docs/tutorial.md docs/line-source.md docs/train-source.md docs/codes.md
                docs/compiled-files.md docs/editors.md docs/scenario.svg docs/viewer.png
          DESTINATION "${CMAKE_INSTALL_DOCDIR}/docs")
  # lintian's reviewed false positives, each with its reason.
  install(FILES packaging/lintian-overrides
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides" RENAME genera-scenario)
  # The completions, each where its shell looks for them on Debian.
  install(FILES packaging/genera_scenario.bash
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions"
          RENAME genera_scenario)
  install(FILES packaging/genera_scenario.zsh
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions"
          RENAME _genera_scenario)
  install(FILES packaging/genera_scenario.fish
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/fish/vendor_completions.d")

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME genera-scenario)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "genera_scenario builds the scenario pack of a train-driving simulator for
one Italian railway line, LIVRA_MONTALBA with train R47316: the line and
train sources, the driver's documents and the three compact files the
simulator reads.
.
For scenario authors it writes the built-in sources as a starting point,
compiles and checks their own sources with compiler-style messages, decodes
compact files into readable tables, draws a line's plan and profiles as
SVG, and shows them in an interactive page linked to the sources, with a
live preview while the sources are edited. Each command can report in JSON.")
  # The staging tree is made Debian's way before it is packed: program
  # stripped, man pages, changelog and documents compressed.
  set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/deb_staging.cmake")
  set(CPACK_GENERA_STRIP "${CMAKE_STRIP}")
  set(CPACK_GENERA_BINDIR "${CMAKE_INSTALL_BINDIR}")
  set(CPACK_GENERA_CHANGELOG "${PROJECT_SOURCE_DIR}/packaging/changelog")
  set(CPACK_GENERA_MANDIR "${CMAKE_INSTALL_MANDIR}")
  set(CPACK_GENERA_DOCDIR "${CMAKE_INSTALL_DOCDIR}")
endif()

include(CPack)
