// The frame of the editor's messages: each one a block of headers, a blank
// line and a body of Content-Length bytes, as the Language Server Protocol
// sends JSON-RPC over a pipe. Only the frame: what a body says is the
// server's business.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace genera::lsp {

/// The bytes of the stream, from wherever they come.
class FlussoByte {
 public:
  virtual ~FlussoByte() = default;
  /// The next byte, or nothing at the end of the stream.
  virtual std::optional<char> byte() = 0;
  /// Up to `n` bytes into `out`; fewer only at the end of the stream.
  virtual std::size_t leggi(char* out, std::size_t n) = 0;
};

/// A stream over bytes held in memory (tests, the fuzz target).
class FlussoTesto : public FlussoByte {
 public:
  explicit FlussoTesto(std::string_view testo) : testo_(testo) {}
  std::optional<char> byte() override;
  std::size_t leggi(char* out, std::size_t n) override;

 private:
  std::string_view testo_;
  std::size_t pos_ = 0;
};

/// A stream over a C file (the server's stdin); blocks until bytes come.
class FlussoFile : public FlussoByte {
 public:
  explicit FlussoFile(std::FILE* f) : f_(f) {}
  std::optional<char> byte() override;
  std::size_t leggi(char* out, std::size_t n) override;

 private:
  std::FILE* f_;
};

/// One frame read: its body, or why there is none (the frame is then
/// passed over and the stream read on from the next header).
struct Cornice {
  std::string corpo;
  std::string guasto;  // empty: `corpo` holds the body
};

inline constexpr std::size_t kCorpoMassimo = std::size_t{256} << 20;  // 256 MiB
inline constexpr std::size_t kIntestazioneMassima = 8192;

/// Reads frames one after the other from `flusso`.
class LettoreCornici {
 public:
  explicit LettoreCornici(FlussoByte& flusso, std::size_t corpo_massimo = kCorpoMassimo)
      : flusso_(flusso), corpo_massimo_(corpo_massimo) {}

  /// The next frame, or nothing when the stream has ended.
  std::optional<Cornice> prossima();

 private:
  FlussoByte& flusso_;
  std::size_t corpo_massimo_;
};

/// `corpo` framed for the stream: its Content-Length header and the body.
std::string incornicia(std::string_view corpo);

}  // namespace genera::lsp
