#include "common/codepage/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace codepage {
namespace {

const char* iconvName(CodePage page) {
  return page == CodePage::Cp932 ? "CP932" : "CP1252";
}

// One conversion descriptor per direction and page, per thread: an iconv_t carries
// shift state and must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (m_cd != invalid()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; returns the number of bytes written to `out`, or -1 when
  // the input is invalid, incomplete or does not fit.
  int convert(const char* in, size_t inSize, char* out, size_t outSize) {
    if (m_cd == invalid()) return -1;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t inLeft = inSize;
    size_t outLeft = outSize;
    if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) return -1;
    if (inLeft != 0) return -1;
    if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1)) return -1;
    return int(outSize - outLeft);
  }

 private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t m_cd;
};

Converter& decoder(CodePage page) {
  thread_local Converter cp1252("UTF-32LE", iconvName(CodePage::Cp1252));
  thread_local Converter cp932("UTF-32LE", iconvName(CodePage::Cp932));
  return page == CodePage::Cp932 ? cp932 : cp1252;
}

Converter& encoder(CodePage page) {
  thread_local Converter cp1252(iconvName(CodePage::Cp1252), "UTF-32LE");
  thread_local Converter cp932(iconvName(CodePage::Cp932), "UTF-32LE");
  return page == CodePage::Cp932 ? cp932 : cp1252;
}

}  // namespace

std::optional<char32_t> toUnicode(CodePage page, uint16_t code) {
  std::array<char, 2> in{};
  size_t inSize = 1;
  if (code > 0xFF) {
    if (page != CodePage::Cp932) return std::nullopt;
    in = {char(code >> 8), char(code & 0xFF)};
    inSize = 2;
  } else {
    in[0] = char(code);
  }
  // Room for two characters, so a pair of single-byte codes is seen and refused.
  std::array<unsigned char, 8> out{};
  int written = decoder(page).convert(in.data(), inSize, reinterpret_cast<char*>(out.data()),
                                      out.size());
  if (written != 4) return std::nullopt;
  return char32_t(out[0] | out[1] << 8 | out[2] << 16 | uint32_t(out[3]) << 24);
}

std::optional<uint16_t> fromUnicode(CodePage page, char32_t ch) {
  if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return std::nullopt;
  std::array<char, 4> in = {char(ch & 0xFF), char((ch >> 8) & 0xFF), char((ch >> 16) & 0xFF),
                            char(ch >> 24)};
  std::array<unsigned char, 4> out{};
  int written =
      encoder(page).convert(in.data(), in.size(), reinterpret_cast<char*>(out.data()), out.size());
  if (written == 1) return uint16_t(out[0]);
  if (written == 2) return uint16_t(out[0] << 8 | out[1]);
  return std::nullopt;
}

}  // namespace codepage
