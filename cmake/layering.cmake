# The layering of src/: which folder may include and link which. One table,
# checked twice:
#   - when CMake configures, the genera_* libraries each library links;
#   - whenever a source of src/ changes, the #include lines of every file in
#     src/ (cmake/check_layering.cmake), before any library is compiled.
#
# genera_check_layering(SOURCE_DIR LAYERS...) takes the folders bottom to
# top, each "folder:below,below,..." listing the folders it may use (its
# own always). A library is genera_<folder>. A unit test (*_test.cpp and the
# folder's test_*.h) may also use the core and the built-in texts, to build
# a whole scenario as its fixture, and tests/support; never a driver its
# folder may not use.
set(GENERA_LAYERING_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_layering.cmake)

function(genera_check_layering source_dir)
  set(layers ${ARGN})
  set(folders "")
  foreach(layer IN LISTS layers)
    string(REGEX REPLACE ":.*" "" folder "${layer}")
    list(APPEND folders ${folder})
  endforeach()

  # The links, now.
  set(errors "")
  foreach(layer IN LISTS layers)
    string(REGEX REPLACE ":.*" "" folder "${layer}")
    string(REGEX REPLACE "^[^:]*:" "" allowed "${layer}")
    string(REPLACE "," ";" allowed "${allowed}")
    if(NOT TARGET genera_${folder})
      continue()
    endif()
    get_target_property(links genera_${folder} LINK_LIBRARIES)
    get_target_property(interface genera_${folder} INTERFACE_LINK_LIBRARIES)
    foreach(lib IN LISTS links interface)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      if(NOT lib MATCHES "^genera_(.*)$")
        continue()
      endif()
      set(used ${CMAKE_MATCH_1})
      if(used IN_LIST folders AND NOT used STREQUAL folder AND NOT used IN_LIST allowed)
        list(JOIN allowed ", " may)
        if(may STREQUAL "")
          set(may "nothing but itself")
        else()
          set(may "only ${may}")
        endif()
        list(APPEND errors "genera_${folder} links genera_${used}: ${folder}/ may use ${may}")
      endif()
    endforeach()
  endforeach()
  if(errors)
    list(REMOVE_DUPLICATES errors)
    list(JOIN errors "\n  " text)
    message(FATAL_ERROR "The layering of src/ is broken (docs/ARCHITECTURE.md):\n  ${text}")
  endif()

  # The includes, at every build that changed a source.
  set(files "")
  foreach(folder IN LISTS folders)
    file(GLOB found ${source_dir}/${folder}/*.h ${source_dir}/${folder}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  list(JOIN layers "|" layers_arg)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/layering.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DSOURCE_DIR=${source_dir}" "-DLAYERS=${layers_arg}"
            "-DSTAMP=${stamp}" -P ${GENERA_LAYERING_SCRIPT}
    DEPENDS ${files} ${GENERA_LAYERING_SCRIPT}
    COMMENT "Checking the layering of src/"
    VERBATIM)
  add_custom_target(genera_layering DEPENDS ${stamp})
  foreach(folder IN LISTS folders)
    if(TARGET genera_${folder})
      add_dependencies(genera_${folder} genera_layering)
    endif()
  endforeach()
endfunction()
