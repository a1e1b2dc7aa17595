/// Tests for the plain text of RTF on the corpus in tests/data/rtf-corpus:
/// the text the window compares (RtfPlainTextCrLf) and the text qctool
/// rtf2text prints, both against the expected X.txt beside each X.rtf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compare/ComparisonSession.h"
#include "qtbridge/QtText.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The window's lines end in CR LF, the expected files' in LF.
std::string WithLf(const std::string& crlf) {
  std::string text;
  for (size_t i = 0; i < crlf.size(); ++i)
    if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n')) text += crlf[i];
  return text;
}

std::string QctoolText(const fs::path& rtf) {
  const std::string command = std::string("\"") + QC_QCTOOL + "\" rtf2text \"" + rtf.string() + "\"";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pclose(pipe) != 0) out += "<qctool failed>";
  }
  return out;
}

// "file.txt:line:" of the first line where the texts part, for the message.
std::string FirstDifference(const std::string& name, const std::string& got, const std::string& expected) {
  std::stringstream a(got), b(expected);
  std::string x, y;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, x));
    const bool moreB = static_cast<bool>(std::getline(b, y));
    if (!moreA && !moreB) return name;
    if (moreA != moreB || x != y)
      return name + ":" + std::to_string(line) + ": got \"" + (moreA ? x : "<end>") + "\", expected \"" +
             (moreB ? y : "<end>") + "\"";
  }
}

TEST(RtfCorpus, WindowAndQctoolGiveTheExpectedText) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(QC_SOURCE_DIR "/tests/data/rtf-corpus"))
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 10u);
  for (const fs::path& rtf : files) {
    fs::path txt = rtf;
    txt.replace_extension(".txt");
    const std::string expected = ReadFile(txt);
    const std::string window = WithLf(RtfPlainTextCrLf(ReadFile(rtf), &qtbridge::CodePageToUtf8));
    if (window != expected) {
      const fs::path got = fs::path(QC_BINARY_DIR) / (txt.filename().string() + ".new");
      std::ofstream(got, std::ios::binary) << window;
      ADD_FAILURE() << FirstDifference(txt.filename().string(), window, expected) << "\n  (written to " << got
                    << ")";
    }
    EXPECT_EQ(QctoolText(rtf), window) << "qctool rtf2text and the window differ on " << rtf.filename();
  }
}

}  // namespace
