#include "tools/qctool/Command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
  // The size is only a hint: pipes, terminals and /proc files have none (or
  // report 0), and a file may grow while it is read. Reading goes on to the
  // end of the data whatever the size said.
  std::string bytes;
  struct stat info {};
  if (::fstat(stream.Handle(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    bytes.reserve(static_cast<size_t>(info.st_size) + 1);
  size_t used = 0;
  for (;;) {
    if (bytes.size() - used < 65536) bytes.resize(std::max<size_t>(bytes.capacity(), used + 65536));
    const ssize_t n = ::read(stream.Handle(), bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(Format(kReadErrorEx, fileName.c_str(), SysErrorMessage(errno).c_str()));
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  bytes.resize(used);
  return bytes;
}

[[noreturn]] static void StdoutFailed(int error) {
  throw StdoutError(Format(kStdoutErrorEx, SysErrorMessage(error).c_str()), error == EPIPE);
}

void WriteStdout(const std::string& bytes) {
  // Whatever stdio still holds goes first, so that the order stays as written.
  if (std::fflush(stdout) != 0) StdoutFailed(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) StdoutFailed(errno);
    if (n == 0) StdoutFailed(EIO);
    done += static_cast<size_t>(n);
  }
}

void FinishStdout() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) StdoutFailed(errno != 0 ? errno : EIO);
}

}  // namespace qctool
