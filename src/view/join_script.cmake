# Joins the parts of the viewer's script into one, inside one closure:
#   cmake -DOUT=viewer.js -DPARTS="a.js;b.js;..." -P join_script.cmake
# The parts share the closure's scope; each is a file of its own to read,
# the whole is what the page runs and what ESLint checks.
set(text "// The route viewer: the plan of the line above, the lanes and profiles along\n")
string(APPEND text "// the line below, one distance range for both. Joined from src/view/viewer/js/\n")
string(APPEND text "// by src/view/join_script.cmake: do not edit.\n'use strict';\n(function () {\n")
foreach(part IN LISTS PARTS)
  file(READ "${part}" body)
  get_filename_component(name "${part}" NAME)
  string(APPEND text "\n// ==== ${name} ====\n${body}")
endforeach()
string(APPEND text "})();\n")
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
