// libFuzzer target: the project file reader on any bytes. A load either
// succeeds, and then saving and loading again gives the same bytes, or
// fails with the document's or the runtime layer's exception and leaves
// the document exactly as it was. Anything else (a crash, another
// exception, a hang, unbounded growth) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/QuillcrafterDoc.h"

namespace {

std::string Saved(TQuillcrafterDoc& doc) {
  TMemoryStream stream;
  doc.SaveToStream(stream);
  return stream.DataString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TQuillcrafterDoc doc;
  doc.Topics().Add()->SetTitle("present before the load");
  const std::string before = Saved(doc);
  TMemoryStream input(std::string(reinterpret_cast<const char*>(data), size));
  try {
    doc.LoadFromStream(input);
  } catch (const Exception&) {
    if (Saved(doc) != before) std::abort();
    return 0;
  }
  const std::string once = Saved(doc);
  TQuillcrafterDoc again;
  TMemoryStream copy(once);
  again.LoadFromStream(copy);  // what the writer wrote always reads back
  if (Saved(again) != once) std::abort();
  return 0;
}
