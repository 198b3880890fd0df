# Cross-compiles genera_scenario for 64-bit Windows with MinGW-w64:
# one static, GUI-subsystem genera_scenario.exe with no DLL beside it.
#   cmake --preset windows        (or: -DCMAKE_TOOLCHAIN_FILE=<this file>)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GENERA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GENERA_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${GENERA_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${GENERA_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW sysroot only; build tools from
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${GENERA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GUI subsystem (main stays the entry point through MinGW's startup code)
# and everything linked in statically: libstdc++, libgcc, winpthread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-mwindows -static")

# The header-only libraries of the host (CLI11, nlohmann-json) are usable
# from any compiler, but /usr/include as a whole would shadow the MinGW C
# library. A small prefix in the build folder holds links to just those two,
# both their headers and their CMake package files; the package files place
# their headers relative to that prefix, so find_package() works as well as
# a plain #include.
# Skipped in the compiler checks' scratch projects, so the folder is never
# taken for one of the compiler's own.
get_property(genera_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(genera_in_try_compile)
  return()
endif()
set(GENERA_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(link IN ITEMS include/CLI include/nlohmann share/cmake/CLI11 share/cmake/nlohmann_json)
  if(EXISTS /usr/${link} AND NOT EXISTS ${GENERA_HOST_HEADERS}/${link})
    get_filename_component(parent ${GENERA_HOST_HEADERS}/${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK /usr/${link} ${GENERA_HOST_HEADERS}/${link} SYMBOLIC)
  endif()
endforeach()
list(APPEND CMAKE_FIND_ROOT_PATH ${GENERA_HOST_HEADERS})
list(APPEND CMAKE_PREFIX_PATH /)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${GENERA_HOST_HEADERS}/include)
