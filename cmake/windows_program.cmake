# The Windows program comes in two files built from the same objects:
#   genera_scenario.exe  GUI subsystem: what Explorer starts on a double
#                        click; no console window opens behind the
#                        "Attendere" window;
#   genera_scenario.com  console subsystem: what cmd and PowerShell start
#                        when "genera_scenario" is typed (.COM comes before
#                        .EXE in PATHEXT), so the prompt waits for it, its
#                        output comes before the next prompt and the exit
#                        status reaches %errorlevel% / $LASTEXITCODE.
# Both carry the same resources: icon, manifest and version.
# genera_windows_program(TARGET): TARGET is the .exe; adds TARGET_console.
function(genera_windows_program target)
  set(GENERA_RC_ICON "${PROJECT_SOURCE_DIR}/packaging/windows/genera_scenario.ico")
  set(GENERA_RC_VERSION "${PROJECT_VERSION}.0")
  string(REPLACE "." "," GENERA_RC_VERSION_COMMAS "${GENERA_RC_VERSION}")
  set(GENERA_RC_COMMIT "")
  if(GENERA_VERSION_TEXT MATCHES "commit ([0-9a-f]+)")
    set(GENERA_RC_COMMIT "${CMAKE_MATCH_1}")
  endif()
  set(GENERA_RC_MANIFEST "${PROJECT_BINARY_DIR}/resources/genera_scenario.manifest")
  configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/genera_scenario.manifest"
                 "${GENERA_RC_MANIFEST}" @ONLY)

  # The sources as they are before the resources join them (the function
  # is called in the folder that made the target).
  get_target_property(sources ${target} SOURCES)
  add_executable(${target}_console ${sources})
  get_target_property(libraries ${target} LINK_LIBRARIES)
  target_link_libraries(${target}_console PRIVATE ${libraries})
  # The toolchain's -mwindows comes first on the link line; this overrides it.
  target_link_options(${target}_console PRIVATE -mconsole)
  set_target_properties(${target}_console PROPERTIES OUTPUT_NAME genera_scenario SUFFIX .com)

  foreach(kind IN ITEMS exe com)
    set(GENERA_RC_FILE_NAME "genera_scenario.${kind}")
    if(kind STREQUAL "exe")
      set(GENERA_RC_DESCRIPTION "genera_scenario: scenario pack builder (Explorer)")
      set(program ${target})
    else()
      set(GENERA_RC_DESCRIPTION "genera_scenario: scenario pack builder (command line)")
      set(program ${target}_console)
    endif()
    configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/genera_scenario.rc.in"
                   "${PROJECT_BINARY_DIR}/resources/genera_scenario_${kind}.rc" @ONLY)
    target_sources(${program} PRIVATE "${PROJECT_BINARY_DIR}/resources/genera_scenario_${kind}.rc")
    set_source_files_properties("${PROJECT_BINARY_DIR}/resources/genera_scenario_${kind}.rc"
      PROPERTIES OBJECT_DEPENDS "${GENERA_RC_ICON};${GENERA_RC_MANIFEST}")
  endforeach()
endfunction()
