/// Tests for containers/GStreams.cpp

#include "containers/GStreams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines read_lines(TGTextStream& text, int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) lines.push_back(text.ReadLine());
  return lines;
}

/// A stream that takes only the first Limit bytes written to it.
class ShortWriteStream : public TMemoryStream {
 public:
  explicit ShortWriteStream(int64_t limit) : FLimit(limit) {}
  int64_t Write(const void* buffer, int64_t count) override {
    const int64_t n = std::min(count, std::max<int64_t>(FLimit - Size(), 0));
    return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
  }

 private:
  int64_t FLimit;
};

/// Counts the writes that reach the underlying stream.
class CountingStream : public TMemoryStream {
 public:
  int writes = 0;
  int64_t Write(const void* buffer, int64_t count) override {
    ++writes;
    return TMemoryStream::Write(buffer, count);
  }
};

TEST(GTextStream, EveryLineEndForm) {
  TMemoryStream data(std::string("a\r\nb\rc\nd"));
  TGTextStream text(data);
  EXPECT_EQ(read_lines(text, 6), (Lines{"a", "b", "c", "d", "", ""}));
  EXPECT_TRUE(text.EndOfStream());
}

TEST(GTextStream, LfCrIsTwoLineEnds) {
  TMemoryStream data(std::string("x\n\ry\r\r\n"));
  TGTextStream text(data);
  EXPECT_EQ(read_lines(text, 4), (Lines{"x", "", "y", ""}));
  std::string line = "junk";
  EXPECT_FALSE(text.ReadLine(line));
  EXPECT_EQ(line, "");
}

TEST(GTextStream, CrLfSplitAcrossBufferFills) {
  for (int shift : {-1, 0, 1}) {
    // Given a CR that is the last byte of one fill and an LF that opens the next,
    std::string bytes(TGBufferStream::BufferSize - 1 + shift, 'x');
    bytes += "\r\nnext\r\n";
    TMemoryStream data(bytes);
    TGTextStream text(data);
    // then they form one line end.
    const Lines lines = read_lines(text, 3);
    EXPECT_EQ(lines[0].size(), static_cast<size_t>(TGBufferStream::BufferSize - 1 + shift)) << shift;
    EXPECT_EQ(lines[1], "next") << shift;
    EXPECT_EQ(lines[2], "") << shift;
    EXPECT_TRUE(text.EndOfStream());
  }
}

TEST(GTextStream, LongLineSpansManyFills) {
  const std::string longLine(5 * TGBufferStream::BufferSize + 17, 'q');
  TMemoryStream data(longLine + "\n" + longLine);
  TGTextStream text(data);
  EXPECT_EQ(text.ReadLine(), longLine);
  EXPECT_EQ(text.ReadLine(), longLine);
  EXPECT_TRUE(text.EndOfStream());
}

TEST(GTextStream, EmptyStreamIsAtItsEndAtOnce) {
  TMemoryStream data;
  TGTextStream text(data);
  EXPECT_TRUE(text.EndOfStream());
  EXPECT_EQ(text.ReadChar(), '\0');
  EXPECT_EQ(text.ReadLine(), "");
  EXPECT_FALSE(text.SkipToLineEnd());
  EXPECT_EQ(text.ReadToken(), "");
}

TEST(GTextStream, ReadIntegerSkipsBlankLinesAndStopsAtTheBlank) {
  TMemoryStream data(std::string("\r\n\r\n   -42 rest\r\n7"));
  TGTextStream text(data);
  EXPECT_EQ(text.ReadInteger(), -42);
  EXPECT_EQ(text.ReadChar(), ' ');  // the blank after the digits was left unread
  EXPECT_EQ(text.ReadLine(), "rest");
  EXPECT_EQ(text.ReadInteger(), 7);
}

TEST(GTextStream, ReadIntegerErrors) {
  struct Case {
    const char* input;
    const char* message;
  };
  for (const Case& c :
       {Case{"12x4 ", "'12x4' is not a valid integer value"}, Case{"", "'' is not a valid integer value"},
        Case{"99999999999", "'99999999999' is not a valid integer value"}}) {
    TMemoryStream data{std::string(c.input)};
    TGTextStream text(data);
    try {
      text.ReadInteger();
      ADD_FAILURE() << c.input;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(GTextStream, SkipToLineEndCases) {
  struct Case {
    const char* name;
    std::string input;
    bool result;
    std::string rest;
  };
  const std::vector<Case> cases = {
      {"blanks then CR LF", " \t \r\nnext", true, "next"},
      {"lone CR", "\rnext", true, "next"},
      {"CR then text", "\rX", true, "X"},
      {"LF", "  \nnext", true, "next"},
      {"printable byte", "  word\n", false, "word"},
      {"end of data", "   ", false, ""},
  };
  for (const Case& c : cases) {
    TMemoryStream data(c.input);
    TGTextStream text(data);
    EXPECT_EQ(text.SkipToLineEnd(), c.result) << c.name;
    EXPECT_EQ(text.ReadLine(), c.rest) << c.name;
  }
}

TEST(GTextStream, TokensStopAtDelimiters) {
  TMemoryStream data(std::string("alpha\tbeta gamma;delta\r\n"));
  TGTextStream text(data);
  EXPECT_EQ(text.ReadToken(), "alpha");
  text.SkipBlanks();
  EXPECT_EQ(text.ReadToken(), "beta");
  text.Delimiters = ";";
  text.SkipBlanks();
  EXPECT_EQ(text.ReadToken(), "gamma");
  EXPECT_EQ(text.ReadChar(), ';');
}

TEST(GTextStream, WritesAreChainedAndFlushedOnRelease) {
  TMemoryStream data;
  {
    TGTextStream text(data);
    text.WriteString("x").WriteSpace().WriteInteger(-15).NewLine().WriteLine("line").WriteChar('!');
    text.WriteString("");
    EXPECT_EQ(data.Size(), 0);  // still in the buffer
    EXPECT_EQ(text.Position(), 14);
    EXPECT_EQ(text.Size(), 14);
  }
  EXPECT_EQ(data.DataString(), "x -15\r\nline\r\n!");
}

TEST(GTextStream, LargeWritesArriveInOrder) {
  TMemoryStream data;
  std::string expected;
  {
    TGTextStream text(data);
    for (int i = 0; i < 3000; ++i) {
      const std::string line = std::to_string(i) + std::string(static_cast<size_t>(i % 37), 'z');
      text.WriteLine(line);
      expected += line + "\r\n";
    }
    text.WriteString(std::string(3 * TGBufferStream::BufferSize, 'B'));
    expected += std::string(3 * TGBufferStream::BufferSize, 'B');
  }
  EXPECT_EQ(data.DataString(), expected);
}

TEST(GTextStream, OwnedStreamIsFreedAfterTheLastWrite) {
  auto* data = new TMemoryStream;
  std::string seen;
  {
    TGTextStream text(*data);
    text.SetOwnsStream(true);
    text.WriteLine("end");
    text.OnFlushBuffer = [&](TObject*) { seen = data->DataString(); };
  }
  EXPECT_EQ(seen, "end\r\n");  // flushed before the stream was freed (ASan checks the free)
}

TEST(GTextStream, ShortWriteIsAnError) {
  ShortWriteStream data(10);
  TGTextStream text(data);
  EXPECT_THROW(text.WriteString(std::string(TGBufferStream::BufferSize + 5, 'a')), EWriteError);
  // Exactly one full buffer whose flush fails must not pass as written.
  ShortWriteStream data2(10);
  TGTextStream text2(data2);
  try {
    text2.WriteString(std::string(TGBufferStream::BufferSize, 'a'));
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  // Flush() reports what a destructor cannot.
  ShortWriteStream data3(2);
  TGTextStream text3(data3);
  text3.WriteLine("abc");
  EXPECT_THROW(text3.Flush(), EWriteError);
}

TEST(GBufferStream, SeekWhileWriting) {
  CountingStream data;
  TGBufferStream buffer(data);
  buffer.WriteString("hello");
  // Reading the position (a seek to where we are) does not flush,
  EXPECT_EQ(buffer.Position(), 5);
  EXPECT_EQ(buffer.Seek(5, soBeginning), 5);
  EXPECT_EQ(data.writes, 0);
  // seeking elsewhere does.
  EXPECT_EQ(buffer.Seek(1, soBeginning), 1);
  EXPECT_EQ(data.writes, 1);
  buffer.WriteString("EL");
  EXPECT_EQ(buffer.Seek(0, soEnd), 5);
  EXPECT_EQ(data.DataString(), "hELlo");
}

TEST(GBufferStream, SeekWhileReadingKeepsTheLogicalPosition) {
  TMemoryStream data(std::string("0123456789"));
  TGBufferStream buffer(data);
  char c[3] = {};
  buffer.Read(c, 3);
  EXPECT_EQ(buffer.Position(), 3);
  EXPECT_EQ(data.Position(), 10);  // the buffer took everything
  EXPECT_EQ(buffer.Seek(-2, soCurrent), 1);
  buffer.Read(c, 2);
  EXPECT_EQ(std::string(c, 2), "12");
  EXPECT_EQ(buffer.Seek(-1, soEnd), 9);
  buffer.Read(c, 1);
  EXPECT_EQ(c[0], '9');
  EXPECT_TRUE(buffer.EndOfStream());
}

TEST(GBufferStream, ErrorsOfSeekAndPutBack) {
  TMemoryStream data(std::string("abc"));
  TGBufferStream buffer(data);
  try {
    buffer.Seek(0, static_cast<TSeekOrigin>(7));
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Invalid Origin Point specified: 7");
  }
  try {
    buffer.PutBack('x');  // nothing consumed yet
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Overflow on push back");
  }
  char c;
  buffer.Read(&c, 1);
  buffer.PutBack('Z');
  buffer.Read(&c, 1);
  EXPECT_EQ(c, 'Z');
  EXPECT_EQ(data.DataString(), "abc");  // a put-back byte never reaches the stream

  ShortWriteStream full(0);
  TGBufferStream writer(full);
  writer.WriteString("x");
  try {
    writer.Seek(0, soBeginning);
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Error seeking in buffer");
  }
}

TEST(GBufferStream, SwitchingBetweenReadingAndWriting) {
  TMemoryStream data(std::string("0123456789"));
  TGBufferStream buffer(data);
  char c[4] = {};
  buffer.Read(c, 2);
  // A write after reads lands at the logical position,
  buffer.WriteString("ab");
  // and a read after writes sees the bytes that follow.
  buffer.Read(c, 2);
  EXPECT_EQ(std::string(c, 2), "45");
  buffer.Seek(0, soBeginning);
  EXPECT_EQ(buffer.Size(), 10);
  char all[10];
  EXPECT_EQ(buffer.Read(all, 10), 10);
  EXPECT_EQ(std::string(all, 10), "01ab456789");
}

TEST(GBufferStream, ReadAfterAFullBufferWasFlushed) {
  // Given a write of exactly one buffer (flushed at once, nothing pending),
  const std::string tail = "tail bytes";
  TMemoryStream data(std::string(TGBufferStream::BufferSize, '.') + tail);
  TGBufferStream buffer(data);
  buffer.WriteString(std::string(TGBufferStream::BufferSize, 'W'));
  // when reading goes on, it sees the stream's bytes, not the old buffer.
  char c[32] = {};
  EXPECT_EQ(buffer.Read(c, sizeof c), static_cast<int64_t>(tail.size()));
  EXPECT_EQ(std::string(c, tail.size()), tail);
  EXPECT_EQ(data.DataString(), std::string(TGBufferStream::BufferSize, 'W') + tail);
}

TEST(GBufferStream, NotificationsAndCounts) {
  TMemoryStream data(std::string(TGBufferStream::BufferSize * 2 + 1, 'r'));
  TGBufferStream buffer(data);
  int fills = 0;
  buffer.OnFillBuffer = [&](TObject* sender) {
    EXPECT_EQ(sender, &buffer);
    ++fills;
  };
  std::string all(static_cast<size_t>(data.Size()) + 10, '\0');
  EXPECT_EQ(buffer.Read(all.data(), static_cast<int64_t>(all.size())), data.Size());
  EXPECT_EQ(fills, 4);  // three with data, one that finds the end
  EXPECT_EQ(buffer.Read(all.data(), 0), 0);
  EXPECT_EQ(buffer.State(), TGBufferState::bsIdle);
}

TEST(GTextStream, ReadsAFileWrittenByItself) {
  const std::string path = ::testing::TempDir() + "gstreams_roundtrip.txt";
  const Lines lines = {"first", "", "\xE9t\xE9 \x80", std::string(20000, 'w'), "last"};
  {
    TFileStream file(path, fmCreate);
    TGTextStream text(file);
    for (const std::string& line : lines) text.WriteLine(line);
  }
  TFileStream file(path, fmOpenRead);
  TGTextStream text(file);
  Lines read;
  std::string line;
  while (!text.EndOfStream() && text.ReadLine(line)) read.push_back(line);
  EXPECT_EQ(read, lines);
  std::remove(path.c_str());
}

}  // namespace
