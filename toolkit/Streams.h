#pragma once
// Byte streams: the abstract stream, file streams and in-memory streams.

#include <cstdint>
#include <cstdio>
#include <string>

#include "toolkit/Classes.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

/// Abstract byte stream: Read and Write move up to Count bytes and return
/// how many moved; ReadBuffer and WriteBuffer insist on all of them.
class TStream : public TObject {
 public:
  std::string ClassName() const override { return "TStream"; }
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  /// Raises EReadError "Stream read error" when fewer bytes arrive.
  void ReadBuffer(void* buffer, int64_t count);
  /// Raises EWriteError "Stream write error" when fewer bytes are taken.
  void WriteBuffer(const void* buffer, int64_t count);
  void WriteString(const std::string& bytes) {
    WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t newSize);

  /// Copies Count bytes (all from the start when Count is 0) from Source.
  int64_t CopyFrom(TStream& source, int64_t count);
};

enum TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

/// A file on disk. fmOpenRead opens an existing file for reading; fmCreate
/// creates or truncates it for writing. Failures raise EFOpenError
/// "Cannot open file "%s". %s" or EFCreateError "Cannot create file "%s". %s".
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, TFileMode mode);
  /// Takes over an open descriptor (closed with the stream); FileName is
  /// only what the stream calls itself.
  TFileStream(int handle, std::string fileName) : FFileName(std::move(fileName)), FHandle(handle) {}
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::string ClassName() const override { return "TFileStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t newSize) override;
  const std::string& FileName() const { return FFileName; }
  /// Flushes the operating system's buffers to the device (raises EWriteError on failure).
  void FlushToDisk();
  int Handle() const { return FHandle; }
  /// The errno value of the last read, write, resize or flush that failed
  /// (0 when none did), for messages that give the reason.
  int LastError() const { return FLastError; }

 private:
  std::string FFileName;
  int FHandle = -1;
  int FLastError = 0;
};

/// All the bytes of a file, read to the end of its data even when it has no
/// size (a pipe, /dev/stdin, a /proc file) or grows while it is read.
/// Raises EFOpenError when it cannot be opened and EReadError "Cannot read
/// file "%s". %s" when a read fails.
std::string ReadFileToEnd(const std::string& fileName);
/// As ReadFileToEnd, but a file that holds more than MaxBytes (endless
/// input such as /dev/zero among them) raises EReadError "Cannot read file
/// "%s". It holds more than %s bytes" as soon as that is known.
std::string ReadFileToEnd(const std::string& fileName, size_t maxBytes);

/// A growable block of memory used as a stream.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string initial) : FData(std::move(initial)) {}
  std::string ClassName() const override { return "TMemoryStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t newSize) override;

  const std::string& DataString() const { return FData; }
  std::string& Data() { return FData; }
  const char* Memory() const { return FData.data(); }
  void Clear() {
    FData.clear();
    FPosition = 0;
  }
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

 private:
  std::string FData;
  int64_t FPosition = 0;
};

/// The in-memory string stream: same as TMemoryStream, kept as its own name.
using TStringStream = TMemoryStream;
