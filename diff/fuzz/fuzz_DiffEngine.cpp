// libFuzzer target: the line difference engine on two texts. The first
// byte picks the options (low four bits) and the match depth (1 to 16);
// the next two give where the first text ends. Both results must have one
// row per aligned pair, and their non-filler rows must be exactly the lines
// of each text, in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diff/dvDiffEngine.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSide(const TStringList& result, std::string_view text, uint8_t onlyHere) {
  const std::vector<std::string> lines = SplitDiffLines(text);
  size_t next = 0;
  for (int row = 0; row < result.Count(); ++row) {
    const uint8_t kind = DiffEntryKind(result[row]);
    Check(kind == dkSame || kind == dkChanged || kind == dkFiller || kind == onlyHere);
    if (kind == dkFiller) continue;
    Check(next < lines.size() && DiffEntryText(result[row]) == lines[next]);
    ++next;
  }
  Check(next == lines.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t settings = data[0];
  const size_t split = std::min<size_t>(data[1] | (size_t{data[2]} << 8), size - 3);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string_view text1 = rest.substr(0, split);
  const std::string_view text2 = rest.substr(split);

  TdvDiffEngine engine;
  TdvDiffOptions options;
  const TdvDiffOption all[] = {fdoCaseSensitive, fdoIgnoreCharacters, fdoIgnoreTrailingWhiteSpace,
                               fdoIgnoreLeadingWhiteSpace};
  for (int bit = 0; bit < 4; ++bit)
    if (settings & (1 << bit)) options.Include(all[bit]);
  engine.SetDiffOptions(options);
  engine.SetMatchDepth(1 + (settings >> 4));
  engine.CompareStrings(text1, text2);

  Check(engine.Result1().Count() == engine.Result2().Count());
  CheckSide(engine.Result1(), text1, dkDeleted);
  CheckSide(engine.Result2(), text2, dkInserted);
  return 0;
}
