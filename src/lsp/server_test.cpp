#include "lsp/server.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace genera::lsp {
namespace {

using nlohmann::json;

// ---- the partner source ----

/// A folder on a disk of our own: path -> text.
Ambiente disco(const std::map<std::string, std::string>& file) {
  Ambiente a;
  a.leggi_file = [file](const std::string& p) -> std::optional<std::string> {
    const auto it = file.find(p);
    if (it == file.end()) return std::nullopt;
    return it->second;
  };
  a.elenca = [file](const std::string& cartella) {
    std::vector<std::string> nomi;
    for (const auto& [p, t] : file)
      if (p.rfind(cartella + "/", 0) == 0 && p.find('/', cartella.size() + 1) == std::string::npos)
        nomi.push_back(p.substr(cartella.size() + 1));
    return nomi;
  };
  return a;
}

struct CasoCoppia {
  const char* nome;
  std::string documento;            // the path of the open document
  std::vector<std::string> aperti;  // other open documents
  std::map<std::string, std::string> su_disco;
  std::string compagna;  // the partner's name as reports give it
  std::string nome_linea;
  std::string codice_treno;
};

class Compagna : public testing::TestWithParam<CasoCoppia> {};

TEST_P(Compagna, IsFoundByTheNamingRules) {
  const CasoCoppia& c = GetParam();
  const TestoDocumento testo("[generale]\r\n");
  auto apri = [&](const std::string& p) {
    const std::string uri = uri_da_percorso(p);
    return DocumentoAperto{uri, quale_sorgente(uri, "", testo.testo()), &testo};
  };
  std::vector<DocumentoAperto> aperti;
  for (const std::string& p : c.aperti) aperti.push_back(apri(p));
  const DocumentoAperto doc = apri(c.documento);
  aperti.push_back(doc);
  const Coppia coppia = trova_coppia(doc, aperti, disco(c.su_disco));
  const Fonte& compagna = doc.quale == QualeSorgente::linea ? coppia.treno : coppia.linea;
  EXPECT_EQ(compagna.nome, c.compagna);
  EXPECT_EQ(coppia.nome_linea, c.nome_linea);
  EXPECT_EQ(coppia.codice_treno, c.codice_treno);
}

INSTANTIATE_TEST_SUITE_P(Casi, Compagna,
                         testing::Values(CasoCoppia{"train_beside_on_disk",
                                                    "/d/VALLE_linea.txt",
                                                    {},
                                                    {{"/d/VALLE_R1-.txt", "x"},
                                                     {"/d/ALTRA_R2-.txt", "x"},
                                                     {"/e/VALLE_R0-.txt", "x"}},
                                                    "/d/VALLE_R1-.txt",
                                                    "VALLE",
                                                    "R1"},
                                         CasoCoppia{"an_open_train_first",
                                                    "/d/VALLE_linea.txt",
                                                    {"/d/VALLE_R9-.txt"},
                                                    {{"/d/VALLE_R1-.txt", "x"}},
                                                    "/d/VALLE_R9-.txt",
                                                    "VALLE",
                                                    "R9"},
                                         CasoCoppia{"line_name_holding_underscores",
                                                    "/d/VAL_DI_SOTTO_R1-.txt",
                                                    {},
                                                    {{"/d/VAL_DI_SOTTO_linea.txt", "x"},
                                                     {"/d/VAL_linea.txt", "x"}},
                                                    "/d/VAL_DI_SOTTO_linea.txt",
                                                    "VAL_DI_SOTTO",
                                                    "R1"},
                                         CasoCoppia{"no_partner_the_built_in_train",
                                                    "/d/VALLE_linea.txt",
                                                    {},
                                                    {},
                                                    "built-in LIVRA_MONTALBA_R47316-.txt",
                                                    "VALLE",
                                                    "R47316"},
                                         CasoCoppia{"no_partner_the_built_in_line",
                                                    "/d/X_Y-.txt",
                                                    {},
                                                    {},
                                                    "built-in LIVRA_MONTALBA_linea.txt",
                                                    "LIVRA_MONTALBA",
                                                    "R47316"},
                                         CasoCoppia{"any_name_the_built_in",
                                                    "/d/appunti.txt",
                                                    {},
                                                    {{"/d/appunti_linea.txt", "x"}},
                                                    "built-in LIVRA_MONTALBA_linea.txt",
                                                    "LIVRA_MONTALBA",
                                                    "R47316"}),
                         [](const auto& i) { return std::string(i.param.nome); });

TEST(Uri, PathsGoThereAndBack) {
  EXPECT_EQ(uri_da_percorso("/a b/Città#1.txt"), "file:///a%20b/Citt%C3%A0%231.txt");
  EXPECT_EQ(percorso_da_uri("file:///a%20b/Citt%C3%A0%231.txt"), "/a b/Città#1.txt");
  EXPECT_EQ(percorso_da_uri("file:///c%3A/x/y.txt"), "c:/x/y.txt");
  EXPECT_EQ(percorso_da_uri("untitled:Untitled-1"), std::nullopt);
}

TEST(IntervalloLuogo, TheFieldAtItsByteColumnInUtf16Units) {
  // "città" takes 6 bytes and 5 UTF-16 units: the key after it starts at
  // byte column 9 and UTF-16 column 7.
  const TestoDocumento t("x\r\ncittà, pendneza , 3\r\n");
  EXPECT_EQ(intervallo_luogo(t, 2, 9, Codifica::utf16),
            json::parse(R"({"start":{"line":1,"character":7},"end":{"line":1,"character":15}})"));
  EXPECT_EQ(intervallo_luogo(t, 2, 9, Codifica::utf8),
            json::parse(R"({"start":{"line":1,"character":8},"end":{"line":1,"character":16}})"));
  // No column: the line's text.
  EXPECT_EQ(intervallo_luogo(t, 1, 0, Codifica::utf16),
            json::parse(R"({"start":{"line":0,"character":0},"end":{"line":0,"character":1}})"));
}

// ---- the server in process ----

class Server : public testing::Test {
 protected:
  Server()
      : server_(Ambiente{}, [this](const std::string& c) { uscite_.push_back(json::parse(c)); }) {}

  json invia(const json& m) {
    uscite_.clear();
    server_.ricevi_corpo(m.dump());
    return uscite_.empty() ? json() : uscite_.back();
  }
  json richiesta(const std::string& metodo, json params) {
    return invia({{"jsonrpc", "2.0"}, {"id", ++id_}, {"method", metodo}, {"params", params}});
  }
  void inizializza(json capacita = json::object()) {
    richiesta("initialize", {{"capabilities", capacita}});
  }
  void apri(const std::string& uri, const std::string& testo) {
    invia({{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params",
            {{"textDocument",
              {{"uri", uri}, {"languageId", ""}, {"version", 1}, {"text", testo}}}}}});
  }
  json azioni(const std::string& uri, int da, int a) {
    return richiesta(
        "textDocument/codeAction",
        {{"textDocument", {{"uri", uri}}},
         {"range",
          {{"start", {{"line", da}, {"character", 0}}}, {"end", {{"line", a}, {"character", 0}}}}},
         {"context", {{"diagnostics", json::array()}}}})["result"];
  }

  ServerLsp server_;
  std::vector<json> uscite_;
  int id_ = 0;
};

TEST_F(Server, RequestsBeforeInitializeAndAfterShutdownAreRefused) {
  EXPECT_EQ(richiesta("textDocument/hover", json::object())["error"]["code"], kNonInizializzato);
  inizializza();
  EXPECT_EQ(richiesta("initialize", json::object())["error"]["code"], kRichiestaNonValida);
  EXPECT_TRUE(richiesta("shutdown", nullptr)["result"].is_null());
  EXPECT_EQ(richiesta("textDocument/hover", json::object())["error"]["code"],
            kRichiestaNonValidaOra);
  EXPECT_FALSE(server_.finito());
  invia({{"jsonrpc", "2.0"}, {"method", "exit"}});
  EXPECT_TRUE(server_.finito());
  EXPECT_EQ(server_.stato_uscita(), 0);
}

TEST_F(Server, ExitWithoutShutdownEndsWithStatus1) {
  inizializza();
  invia({{"jsonrpc", "2.0"}, {"method", "exit"}});
  EXPECT_TRUE(server_.finito());
  EXPECT_EQ(server_.stato_uscita(), 1);
}

struct CasoMessaggio {
  const char* nome;
  std::string corpo;
  int codice;
};

class MessaggiGuasti : public Server, public testing::WithParamInterface<CasoMessaggio> {};

TEST_P(MessaggiGuasti, GetAnErrorAndTheServerGoesOn) {
  inizializza();
  uscite_.clear();
  server_.ricevi_corpo(GetParam().corpo);
  ASSERT_EQ(uscite_.size(), 1u);
  EXPECT_EQ(uscite_[0]["error"]["code"], GetParam().codice);
  EXPECT_TRUE(richiesta("textDocument/documentSymbol", {{"textDocument", {{"uri", "file:///x"}}}})
                  .contains("result"));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, MessaggiGuasti,
    testing::Values(
        CasoMessaggio{"not_json", "{\"jsonrpc\":", kErroreParse},
        CasoMessaggio{"random_bytes", std::string("\x00\xff\xfe{", 4), kErroreParse},
        CasoMessaggio{"an_array", "[1,2]", kRichiestaNonValida},
        CasoMessaggio{"no_method", R"({"jsonrpc":"2.0","id":3})", kRichiestaNonValida},
        CasoMessaggio{"an_object_as_id", R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})",
                      kRichiestaNonValida},
        CasoMessaggio{"unknown_method", R"({"jsonrpc":"2.0","id":3,"method":"x/y"})",
                      kMetodoIgnoto},
        CasoMessaggio{
            "params_that_do_not_fit",
            R"({"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":{"textDocument":7}})",
            kParametriNonValidi}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Server, AnEditPastTheEndIsClampedAndAnUnknownDocumentIgnored) {
  inizializza();
  apri("file:///d/A_B-.txt", "[generale]\r\n");
  const json cambio = {{"jsonrpc", "2.0"},
                       {"method", "textDocument/didChange"},
                       {"params",
                        {{"textDocument", {{"uri", "file:///d/A_B-.txt"}, {"version", 2}}},
                         {"contentChanges",
                          {{{"range",
                             {{"start", {{"line", 40}, {"character", 9}}},
                              {"end", {{"line", 90}, {"character", 0}}}}},
                            {"text", "stazoine, 1\r\n"}}}}}}};
  const json pubblicate = invia(cambio);
  EXPECT_EQ(pubblicate["params"]["version"], 2);
  EXPECT_NE(pubblicate["params"]["diagnostics"].dump().find("stazoine"), std::string::npos);
  json altro = cambio;
  altro["params"]["textDocument"]["uri"] = "file:///d/nowhere-.txt";
  EXPECT_TRUE(invia(altro).is_null());
}

TEST_F(Server, Utf8PositionsWhenTheEditorOffersThem) {
  json cap = {{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}};
  EXPECT_EQ(richiesta("initialize",
                      {{"capabilities", cap}})["result"]["capabilities"]["positionEncoding"],
            "utf-8");
}

struct CasoAzione {
  const char* nome;
  std::string riga;
  std::string titolo;
  std::string nuovo;  // the edit's new text
  int da, a;          // the edit's columns
};

class AzioniLessicali : public Server, public testing::WithParamInterface<CasoAzione> {};

TEST_P(AzioniLessicali, FixTheLine) {
  inizializza();
  apri("file:///d/A_B-.txt", "[generale]\r\n" + GetParam().riga + "\r\n");
  const json tutte = azioni("file:///d/A_B-.txt", 1, 1);
  const json* trovata = nullptr;
  for (const json& a : tutte)
    if (a["title"] == GetParam().titolo) trovata = &a;
  ASSERT_NE(trovata, nullptr) << tutte.dump(1);
  const json& modifica = (*trovata)["edit"]["changes"]["file:///d/A_B-.txt"][0];
  EXPECT_EQ(modifica["newText"], GetParam().nuovo);
  EXPECT_EQ(modifica["range"]["start"], json({{"line", 1}, {"character", GetParam().da}}));
  EXPECT_EQ(modifica["range"]["end"], json({{"line", 1}, {"character", GetParam().a}}));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AzioniLessicali,
    testing::Values(CasoAzione{"tabs", "segnale\t2800\t1\t4", "Separate the fields with commas",
                               "segnale, 2800, 1, 4", 0, 16},
                    CasoAzione{"semicolons", "  velocita; 0 ;95", "Separate the fields with commas",
                               "velocita, 0, 95", 2, 17},
                    CasoAzione{
                        "a_name_with_a_comma",
                        "stazione, 0, 2, 900, 0, 1, 0, 1,1,0, 4,1,1, 1, 8,50, 0, LIVRA, Nord",
                        "Quote the text \"LIVRA, Nord\"", "\"LIVRA, Nord\"", 56, 67},
                    CasoAzione{"a_quote_left_open",
                               "stazione, 0, 2, 900, 0, 1, 0, 1,1,0, 4,1,1, 1, 8,50, 0, \"LIVRA ",
                               "Close the quoted text", "\"", 62, 62}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST_F(Server, ALineWithoutFaultGetsNoLexicalFix) {
  inizializza();
  apri("file:///d/A_B-.txt",
       "[generale]\r\nsegnale, 2800, 1, 4, 1, 0, 0, 1, 3,1,0, 0\r\n- nota; a\tb\r\n");
  EXPECT_EQ(azioni("file:///d/A_B-.txt", 0, 2), json::array());
}

}  // namespace
}  // namespace genera::lsp
