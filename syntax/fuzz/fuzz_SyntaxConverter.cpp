// libFuzzer target: one syntax converter (QC_FUZZ_SYNTAX, a TSyntaxType)
// on any source text. The converter must take any bytes without crashing
// or hanging, and always give one complete RTF group.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "syntax/hltConverters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto converter = CreateSyntaxConverter(static_cast<TSyntaxType>(QC_FUZZ_SYNTAX));
  converter->SetText(std::string(reinterpret_cast<const char*>(data), size));
  const std::string rtf = converter->GetRTF();
  if (rtf.rfind("{\\rtf1", 0) != 0) std::abort();
  // Braces balance outside escapes: the view would otherwise read past the group.
  long depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}' && --depth < 0) {
      std::abort();
    }
  }
  if (depth != 0) std::abort();
  return 0;
}
