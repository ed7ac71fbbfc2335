// Stroke-file loader: any bytes parse or fail cleanly, whatever the chunking; what
// parses survives a write and a reread unchanged and replays without harm.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "brush/StrokeReplay.h"
#include "brush/Surface.h"
#include "strokes/StrokeFile.h"

namespace {

// Keeps the drawing state only; the replay's arithmetic is what is exercised.
class CountingSurface final : public Surface {
 public:
  int drawWidth() const override { return m_width; }
  void setDrawWidth(int width) override { m_width = width < 1 ? 1 : width; }
  Colour foreColor() const override { return m_colour; }
  void setForeColor(Colour colour) override { m_colour = colour; }
  void dot(double, double) override { ++m_calls; }
  void lineTo(double, double) override { ++m_calls; }

 private:
  int m_width = 1;
  Colour m_colour = 0;
  long m_calls = 0;
};

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  StrokeLog whole;
  const bool parsed = bool(strokefile::parseStrokeRecords(text, whole));
  check(parsed || whole.logEnd() == 0);
  check(whole.logEnd() == whole.redoLimit() && whole.logEnd() <= whole.logCapacity());

  const size_t split = size == 0 ? 0 : data[0] % (size + 1);
  StrokeLog chunked;
  strokefile::StrokeTextParser parser(chunked);
  const bool chunkedOk = parser.feed(text.substr(0, split)) && parser.feed(text.substr(split)) &&
                         parser.finish();
  check(chunkedOk == parsed && chunked.logEnd() == whole.logEnd());
  for (int32_t i = 0; i < whole.logEnd(); ++i) check(chunked.at(i) == whole.at(i));

  if (parsed) {
    StrokeLog again;
    check(bool(strokefile::parseStrokeRecords(strokefile::formatStrokeRecords(whole), again)));
    check(again.logEnd() == whole.logEnd());
    for (int32_t i = 0; i < whole.logEnd(); ++i) check(again.at(i) == whole.at(i));
    CountingSurface surface;
    replayStrokes(whole, surface, 0, whole.logEnd() - 1);
  }
  return 0;
}
