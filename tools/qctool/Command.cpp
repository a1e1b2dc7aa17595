#include "tools/qctool/Command.h"

#include <cstdio>

#include "toolkit/Streams.h"

namespace qctool {

static std::vector<CommandInfo>& Registry() {
  static std::vector<CommandInfo> registry;
  return registry;
}

QctoolCommand::QctoolCommand(const CommandInfo& info) { Registry().push_back(info); }

const std::vector<CommandInfo>& Commands() { return Registry(); }

std::string ReadFileBytes(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

void WriteStdout(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace qctool
