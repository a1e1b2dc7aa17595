/// Expected-output tests of the eight converters: every tests/data/<language>/NAME.src
/// converts to NAME.rtf. On a mismatch the test writes NAME.rtf.new beside it and
/// reports the first differing line, so a reviewer can diff the two.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SyntaxTestUtil.h"
#include "syntax/hltConverters.h"

namespace {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> split_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<fs::path> sources_in(const fs::path& folder) {
  std::vector<fs::path> sources;
  if (!fs::is_directory(folder)) return sources;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".src") sources.push_back(entry.path());
  }
  std::sort(sources.begin(), sources.end());
  return sources;
}

class Golden : public testing::TestWithParam<TSyntaxType> {};

TEST_P(Golden, SourcesConvertToTheirExpectedRtf) {
  const fs::path folder = fs::path(QC_SOURCE_DIR) / "tests" / "data" / SyntaxTypeName(GetParam());
  const auto sources = sources_in(folder);
  ASSERT_FALSE(sources.empty()) << "no .src file in " << folder;
  for (const fs::path& source : sources) {
    // Given a fresh converter, as a caller converting one file would have
    auto converter = CreateSyntaxConverter(GetParam());
    converter->SetText(read_bytes(source));
    // When the source is converted
    const std::string actual = converter->GetRTF();
    // Then it matches the expected file byte for byte
    fs::path expectedPath = source;
    expectedPath.replace_extension(".rtf");
    const std::string expected = fs::exists(expectedPath) ? read_bytes(expectedPath) : std::string();
    fs::path newPath = expectedPath;
    newPath += ".new";
    if (actual == expected) {
      fs::remove(newPath);
      continue;
    }
    std::ofstream(newPath, std::ios::binary) << actual;
    const auto want = split_lines(expected);
    const auto got = split_lines(actual);
    size_t line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
    ADD_FAILURE() << expectedPath.string() << ":" << line + 1 << ": differs; wrote " << newPath.string()
                  << "\n  expected: " << (line < want.size() ? want[line] : "<end of file>")
                  << "\n  actual:   " << (line < got.size() ? got[line] : "<end of file>");
  }
}

INSTANTIATE_TEST_SUITE_P(hltGolden, Golden,
                         testing::Values(stCPlusPlus, stDFM, stJScript, stSQL, stVB, stVBScript, stXML,
                                         stDelphi),
                         [](const testing::TestParamInfo<TSyntaxType>& info) {
                           return SyntaxTypeName(info.param);
                         });

}  // namespace
