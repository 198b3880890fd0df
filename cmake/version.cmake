# genera_version_text(VAR): the text --version shows after the program's
# name: project()'s version, followed by " (commit abc1234)" when the source
# folder is the top of a git checkout. A source tarball, or a tree whose
# git cannot be asked, gives the version alone.
#
# The commit is taken when CMake configures. So that it cannot go stale, the
# build reconfigures whenever HEAD moves: the files git rewrites on a commit,
# checkout or reset (HEAD, its reflog, the branch's loose ref) are configure
# dependencies. A checkout with the reflog switched off and the branch only
# in packed-refs may still miss a move; `cmake --preset NAME` fixes it.
function(genera_version_text out_var)
  set(text "${PROJECT_VERSION}")
  find_package(Git QUIET)
  if(NOT GIT_FOUND)
    set(${out_var} "${text}" PARENT_SCOPE)
    return()
  endif()

  execute_process(
    COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    RESULT_VARIABLE status OUTPUT_VARIABLE top ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    set(${out_var} "${text}" PARENT_SCOPE)
    return()
  endif()
  # A tarball unpacked inside some other checkout is not ours to name.
  file(REAL_PATH "${top}" top)
  file(REAL_PATH "${PROJECT_SOURCE_DIR}" source)
  if(NOT top STREQUAL source)
    set(${out_var} "${text}" PARENT_SCOPE)
    return()
  endif()

  execute_process(
    COMMAND "${GIT_EXECUTABLE}" rev-parse --short HEAD
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    RESULT_VARIABLE status OUTPUT_VARIABLE commit ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(status EQUAL 0 AND commit MATCHES "^[0-9a-f]+$")
    string(APPEND text " (commit ${commit})")
  endif()

  execute_process(
    COMMAND "${GIT_EXECUTABLE}" symbolic-ref -q HEAD
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    OUTPUT_VARIABLE branch ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(watched HEAD logs/HEAD)
  if(branch)
    list(APPEND watched "${branch}")
  endif()
  foreach(name IN LISTS watched)
    execute_process(
      COMMAND "${GIT_EXECUTABLE}" rev-parse --path-format=absolute --git-path "${name}"
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      OUTPUT_VARIABLE path ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    # Only files that exist: a missing one would make every build reconfigure.
    if(path AND EXISTS "${path}")
      set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    endif()
  endforeach()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()
