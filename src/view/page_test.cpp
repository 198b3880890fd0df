#include "view/page.h"

#include <gtest/gtest.h>

#include <string>

#include "model/text.h"

namespace genera {
namespace {

using json = nlohmann::json;

std::size_t conta(const std::string& testo, const std::string& parola) {
  std::size_t n = 0;
  for (std::size_t at = testo.find(parola); at != std::string::npos;
       at = testo.find(parola, at + 1))
    ++n;
  return n;
}

TEST(Page, HoldsEverythingItNeedsAndFetchesNothing) {
  const json dati = {
      {"linea", "A & B"}, {"treno", "T<1>{{DATI}}"}, {"nome", "</script><script>x()</script>"}};
  for (const bool servita : {false, true}) {
    SCOPED_TRACE(servita);
    const std::string p = pagina_vista(dati, servita);
    EXPECT_EQ(p.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(p.find("<title>A &amp; B \xe2\x80\x94 train T&lt;1&gt;&#123;&#123;DATI}}</title>"),
              std::string::npos);
    // No placeholder left, nothing loaded from elsewhere, and a policy that
    // would refuse it if there were.
    for (const char* segnaposto : {"{{TITOLO}}", "/*{{STILE}}*/", "{{CONFIG}}", "/*{{SCRIPT}}*/"})
      EXPECT_EQ(p.find(segnaposto), std::string::npos) << segnaposto;
    std::string minuscola = in_minuscolo(p);
    // canvas.toDataURL makes an image of the page's own drawing (the PNG
    // export); it names no address.
    // The SVG export names SVG's namespace and points its shapes at its own
    // patterns (url(#hatch)); neither is an address anything is fetched from.
    for (const std::string innocuo :
         {"todataurl(", "xmlns=\"http://www.w3.org/2000/svg\"", "url(#"})
      for (std::size_t at; (at = minuscola.find(innocuo)) != std::string::npos;)
        minuscola.erase(at, innocuo.size());
    for (const char* indirizzo : {"src=", "src =", "href=", "href =", "http:", "https:", "url("})
      EXPECT_EQ(minuscola.find(indirizzo), std::string::npos) << indirizzo;
    EXPECT_NE(p.find("content=\"default-src 'none';"), std::string::npos);
    // The data and the configuration are JSON inside the page; a name
    // cannot close their elements.
    EXPECT_EQ(conta(p, "</script>"), 3u);
    const std::string apre = "<script id=\"genera-data\" type=\"application/json\">";
    const std::size_t da = p.find(apre) + apre.size();
    EXPECT_EQ(json::parse(p.substr(da, p.find("</script>", da) - da)), dati);
    EXPECT_NE(p.find(servita ? "\"servita\":true" : "\"servita\":false"), std::string::npos);
  }
}

}  // namespace
}  // namespace genera
