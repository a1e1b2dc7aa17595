#include "tools/qctool/Command.h"

#include <unistd.h>

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

std::string ReadFileBytes(const std::string& fileName) { return ReadFileToEnd(fileName, kMaxInputBytes); }

[[noreturn]] static void StdoutFailed(int error) {
  throw StdoutError(Format(kStdoutErrorEx, SysErrorMessage(error).c_str()), error == EPIPE);
}

TTopicMatchMode ParseMatchMode(const std::string& value) {
  if (const std::optional<TTopicMatchMode> mode = MatchModeFromToken(value)) return *mode;
  throw UsageError{"unknown match mode '" + value + "' (id, title or id-or-title)"};
}

static int gErrorStatus = 1;

int ErrorStatus() { return gErrorStatus; }
void SetErrorStatus(int status) { gErrorStatus = status; }

void WriteStdout(std::string_view bytes) {
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
