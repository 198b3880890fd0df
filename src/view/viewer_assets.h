// The page's frame, styles and script, compiled in from src/view/viewer/
// (see embed_assets.cmake).
#pragma once

#include <string>

namespace genera {

std::string viewer_html();
std::string viewer_css();
std::string viewer_js();

}  // namespace genera
