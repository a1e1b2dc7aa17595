/// Randomized tests for containers/GStreams.cpp against a plain line splitter

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "containers/GStreams.h"

namespace {

/// The line rule in its simplest form: CR LF, lone CR and lone LF end a
/// line; bytes after the last line end form a last line.
std::vector<std::string> reference_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string current;
  bool pending = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      pending = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) lines.push_back(current);
  return lines;
}

/// Random bytes, all 256 values, with line ends made frequent; every few
/// rounds a CR is placed on the last byte of a buffer fill.
std::string random_bytes(std::mt19937& rng, size_t size) {
  std::string bytes(size, '\0');
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> byte(0, 255);
  for (char& c : bytes) {
    const int k = kind(rng);
    c = k == 0 ? '\r' : k == 1 ? '\n' : static_cast<char>(byte(rng));
  }
  for (size_t edge = TGBufferStream::BufferSize; edge < size; edge += TGBufferStream::BufferSize) {
    if (rng() % 2) {
      bytes[edge - 1] = '\r';
      bytes[edge] = (rng() % 2) ? '\n' : '\r';
    }
  }
  return bytes;
}

class TextStreamRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(TextStreamRandom, ReadLineMatchesTheReferenceSplitter) {
  std::mt19937 rng(GetParam());
  for (int round = 0; round < 8; ++round) {
    const size_t size = rng() % (4 * TGBufferStream::BufferSize);
    const std::string bytes = random_bytes(rng, size);
    const std::vector<std::string> expected = reference_lines(bytes);

    TMemoryStream data(bytes);
    TGTextStream text(data);
    std::vector<std::string> got;
    std::string line;
    while (text.ReadLine(line)) got.push_back(line);
    ASSERT_EQ(got.size(), expected.size()) << "round " << round;
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], expected[i]) << "line " << i;
    EXPECT_TRUE(text.EndOfStream());
    EXPECT_EQ(text.ReadLine(), "");
  }
}

TEST_P(TextStreamRandom, ABoundedReadLineStopsPastTheLimitAndLeavesTheRest) {
  // Long lines (line ends made rare) read with a bound: a line within the
  // bound is the reference line; a longer one is its first Limit + 1
  // bytes, and the next read goes on in the same line.
  std::mt19937 rng(GetParam());
  for (int round = 0; round < 8; ++round) {
    std::string bytes = random_bytes(rng, rng() % (4 * TGBufferStream::BufferSize));
    for (char& c : bytes)
      if ((c == '\r' || c == '\n') && rng() % 50 != 0) c = 'x';
    const size_t limit = 1 + rng() % (2 * TGBufferStream::BufferSize);
    TMemoryStream data(bytes);
    TGTextStream text(data);
    std::vector<std::string> joined;  // the pieces of each line put together again
    bool continued = false;
    std::string piece;
    while (text.ReadLine(piece, limit)) {
      ASSERT_LE(piece.size(), limit + 1);
      if (continued)
        joined.back() += piece;
      else
        joined.push_back(piece);
      continued = piece.size() > limit;
    }
    const std::vector<std::string> expected = reference_lines(bytes);
    ASSERT_EQ(joined, expected) << "round " << round;
  }
}

TEST_P(TextStreamRandom, MixedCharAndLineReadsStayInStep) {
  // ReadChar and ReadLine share the buffer; reading a line's first byte
  // with ReadChar and the rest with ReadLine must give the same lines.
  std::mt19937 rng(GetParam() + 1000);
  const std::string bytes = random_bytes(rng, 3 * TGBufferStream::BufferSize + 123);
  std::vector<std::string> expected = reference_lines(bytes);
  TMemoryStream data(bytes);
  TGTextStream text(data);
  for (size_t i = 0; i < expected.size(); ++i) {
    std::string line;
    if (rng() % 3 == 0 && !expected[i].empty()) {
      line += text.ReadChar();
      line += text.ReadLine();
    } else {
      line = text.ReadLine();
    }
    ASSERT_EQ(line, expected[i]) << "line " << i;
  }
  EXPECT_TRUE(text.EndOfStream());
}

TEST_P(TextStreamRandom, WrittenLinesReadBack) {
  std::mt19937 rng(GetParam() + 2000);
  std::vector<std::string> lines;
  std::uniform_int_distribution<int> length(0, 300);
  for (int i = 0; i < 400; ++i) {
    std::string line(static_cast<size_t>(length(rng)), '\0');
    for (char& c : line) {
      c = static_cast<char>(rng() % 256);
      if (c == '\r' || c == '\n') c = ' ';
    }
    lines.push_back(line);
  }
  TMemoryStream data;
  {
    TGTextStream text(data);
    for (const std::string& line : lines) {
      if (rng() % 2)
        text.WriteLine(line);
      else
        text.WriteString(line).NewLine();
    }
  }
  TGTextStream text(data);
  data.SetPosition(0);
  for (const std::string& line : lines) ASSERT_EQ(text.ReadLine(), line);
  EXPECT_TRUE(text.EndOfStream());
}

INSTANTIATE_TEST_SUITE_P(Seeds, TextStreamRandom, ::testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
