#include "toolkit/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(rtl::SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(rtl::SWriteError);
}

int64_t TStream::Size() {
  const int64_t position = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  char buffer[65536];
  while (count > 0) {
    const int64_t n = std::min<int64_t>(count, sizeof buffer);
    source.ReadBuffer(buffer, n);
    WriteBuffer(buffer, n);
    count -= n;
  }
  return total;
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : FFileName(fileName) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case fmOpenRead:
      flags |= O_RDONLY;
      break;
    case fmOpenWrite:
      flags |= O_WRONLY;
      break;
    case fmOpenReadWrite:
      flags |= O_RDWR;
      break;
    case fmCreate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  FHandle = ::open(fileName.c_str(), flags, 0666);
  if (FHandle >= 0 && mode != fmCreate) {
    // Opening a folder succeeds on this platform; reading it would not.
    struct stat info {};
    if (::fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(FHandle);
      FHandle = -1;
      errno = EISDIR;
    }
  }
  if (FHandle < 0) {
    const std::string reason = SysErrorMessage(errno);
    if (mode == fmCreate) throw EFCreateError(Format(rtl::SFCreateErrorEx, fileName.c_str(), reason.c_str()));
    throw EFOpenError(Format(rtl::SFOpenErrorEx, fileName.c_str(), reason.c_str()));
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(FHandle, out + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FLastError = errno;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t n = ::write(FHandle, in + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      FLastError = n < 0 ? errno : EIO;
      break;
    }
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : (origin == soCurrent ? SEEK_CUR : SEEK_END);
  return ::lseek(FHandle, offset, whence);
}

void TFileStream::SetSize(int64_t newSize) {
  if (::ftruncate(FHandle, newSize) != 0) {
    FLastError = errno;
    throw EStreamError(SysErrorMessage(errno));
  }
}

void TFileStream::FlushToDisk() {
  if (::fsync(FHandle) != 0) {
    FLastError = errno;
    throw EWriteError(rtl::SWriteError);
  }
}

// ---------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || FPosition >= Size()) return 0;
  const int64_t n = std::min(count, Size() - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = FPosition + count;
  if (end > Size()) FData.resize(static_cast<size_t>(end));
  std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning:
      FPosition = offset;
      break;
    case soCurrent:
      FPosition += offset;
      break;
    case soEnd:
      FPosition = Size() + offset;
      break;
  }
  if (FPosition < 0) FPosition = 0;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize) {
  FData.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
  if (FPosition > Size()) FPosition = Size();
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  FData = ReadFileToEnd(fileName);
  FPosition = 0;
}

std::string ReadFileToEnd(const std::string& fileName) {
  return ReadFileToEnd(fileName, std::string().max_size() - 65536);
}

std::string ReadFileToEnd(const std::string& fileName, size_t maxBytes) {
  TFileStream stream(fileName, fmOpenRead);
  // The size is only a hint: pipes and terminals have none, /proc files
  // report 0, and a file may grow while it is read.
  std::string bytes;
  struct stat info {};
  if (::fstat(stream.Handle(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    bytes.reserve(std::min(static_cast<size_t>(info.st_size), maxBytes) + 1);
  size_t used = 0;
  for (;;) {
    if (used > maxBytes)
      throw EReadError(Format(rtl::SFReadErrorEx, fileName.c_str(),
                              Format(rtl::SHoldsMoreThan, std::to_string(maxBytes).c_str()).c_str()));
    // Growth stops a little past the bound, which is enough to see it passed.
    if (bytes.size() - used < 65536)
      bytes.resize(std::min(std::max<size_t>(bytes.capacity(), used + 65536), maxBytes + 65537));
    const ssize_t n = ::read(stream.Handle(), bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(Format(rtl::SFReadErrorEx, fileName.c_str(), SysErrorMessage(errno).c_str()));
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  bytes.resize(used);
  return bytes;
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(FData.data(), Size());
}
