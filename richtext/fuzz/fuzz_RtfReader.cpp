// libFuzzer target: the RTF reader with the plain-text listener must take
// any bytes without crashing, hanging or growing without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "qtbridge/QtText.h"
#include "richtext/RtfPlainText.h"
#include "richtext/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Everything is read as RTF, whatever its start, to reach the reader.
  TRtfPlainTextListener listener(&qtbridge::CodePageToUtf8);
  TRtfReader reader;
  reader.Read(bytes, listener);
  size_t total = 0;
  for (const auto& line : listener.Lines()) total += line.size();
  // Each input byte yields at most one 4-byte character.
  if (total > size * 4 + 16) __builtin_trap();
  return 0;
}
