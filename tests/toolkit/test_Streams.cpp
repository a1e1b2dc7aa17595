/// Tests for toolkit/Streams.cpp

#include "toolkit/Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

std::string temp_path(const char* name) { return ::testing::TempDir() + name; }

TEST(FileStream, ErrorMessagesNameTheFile) {
  const std::string missing = temp_path("no_such_dir/none.qcp");
  try {
    TFileStream file(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
  }
  try {
    TFileStream file(missing, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". No such file or directory");
  }
  // A folder opens on this platform but is not a file.
  EXPECT_THROW(TFileStream(::testing::TempDir(), fmOpenRead), EFOpenError);
}

TEST(FileStream, WritesReadsSeeksAndTruncates) {
  const std::string path = temp_path("streams_file.bin");
  {
    TFileStream file(path, fmCreate);
    file.WriteString("0123456789");
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Position(), 10);
  }
  {
    TFileStream file(path, fmOpenRead);
    char buf[4] = {};
    file.Seek(-4, soEnd);
    file.ReadBuffer(buf, 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_THROW(file.ReadBuffer(buf, 1), EReadError);
    EXPECT_THROW(file.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  }
  {
    TFileStream file(path, fmCreate);  // truncates
    EXPECT_EQ(file.Size(), 0);
  }
  std::remove(path.c_str());
}

TEST(MemoryStream, BehavesAsAGrowableFile) {
  TMemoryStream stream;
  stream.WriteString("abc");
  stream.SetPosition(5);  // past the end: a write there fills the gap with zeros
  stream.WriteString("z");
  EXPECT_EQ(stream.DataString(), std::string("abc\0\0z", 6));
  stream.SetPosition(1);
  char buf[10];
  EXPECT_EQ(stream.Read(buf, 10), 5);
  EXPECT_EQ(stream.Read(buf, 10), 0);
  EXPECT_EQ(stream.Seek(-100, soCurrent), 0);
  stream.SetSize(2);
  EXPECT_EQ(stream.DataString(), "ab");
  EXPECT_EQ(stream.Read(buf, -1), 0);

  TMemoryStream source(std::string("copy me"));
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 7);
  EXPECT_EQ(target.DataString(), "copy me");

  const std::string path = temp_path("streams_memory.bin");
  target.SaveToFile(path);
  TMemoryStream loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.DataString(), "copy me");
  EXPECT_EQ(loaded.Position(), 0);
  std::remove(path.c_str());
}

TEST(ReadFileToEnd, ReadsFilesWithoutASizeToTheirEnd) {
  // A /proc file reports size 0, a pipe none at all: both are read to their end.
  EXPECT_NE(ReadFileToEnd("/proc/self/status").find("Name:"), std::string::npos);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string sent(100000, 'p');  // more than one read and more than the pipe holds at once
  std::thread writer([&] {
    for (size_t done = 0; done < sent.size();)
      done += static_cast<size_t>(::write(fds[1], sent.data() + done, sent.size() - done));
    ::close(fds[1]);
  });
  TMemoryStream loaded;
  loaded.LoadFromFile("/proc/self/fd/" + std::to_string(fds[0]));
  writer.join();
  ::close(fds[0]);
  EXPECT_EQ(loaded.DataString(), sent);
  try {
    ReadFileToEnd("/proc/self/mem");  // opens, but reading at offset 0 fails
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Cannot read file \"/proc/self/mem\". Input/output error");
  }
}

}  // namespace
