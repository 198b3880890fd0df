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
  # Everything in one folder: unpack anywhere and run. The texts get CR LF
  # line ends, for the editors that still want them; the licence is followed
  # by those of the libraries compiled into the program.
  install(TARGETS genera_scenario RUNTIME DESTINATION .)
  foreach(text IN ITEMS "README.txt|README.md" "LICENSE.txt|LICENSE;packaging/third_party.txt")
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
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${PROJECT_BINARY_DIR}/zip/${target}" "${content}")
    install(FILES "${PROJECT_BINARY_DIR}/zip/${target}" DESTINATION .)
  endforeach()

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
  # The authors' manual, where the README's links find it.
  install(FILES docs/tutorial.md docs/line-source.md docs/train-source.md docs/codes.md
                docs/compiled-files.md docs/editors.md
          DESTINATION "${CMAKE_INSTALL_DOCDIR}/docs")
  install(FILES packaging/genera_scenario.bash
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions"
          RENAME genera_scenario)

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
  # stripped, man page and changelog compressed.
  set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/deb_staging.cmake")
  set(CPACK_GENERA_STRIP "${CMAKE_STRIP}")
  set(CPACK_GENERA_BINDIR "${CMAKE_INSTALL_BINDIR}")
  set(CPACK_GENERA_CHANGELOG "${PROJECT_SOURCE_DIR}/packaging/changelog")
  set(CPACK_GENERA_MANDIR "${CMAKE_INSTALL_MANDIR}")
  set(CPACK_GENERA_DOCDIR "${CMAKE_INSTALL_DOCDIR}")
endif()

include(CPack)
