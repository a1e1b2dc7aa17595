#pragma once
// Subcommand registry of qctool: every cmd_*.cpp registers one command
// through a static QctoolCommand object.

#include <string>
#include <string_view>
#include <vector>

#include "document/TopicComparison.h"
#include "toolkit/SysUtils.h"

namespace qctool {

using Args = std::vector<std::string>;

/// Signature of a subcommand: its arguments after the subcommand's name;
/// returns the exit status. Errors are thrown as exceptions.
using CommandFn = int (*)(const Args& args);

struct CommandInfo {
  const char* name;
  const char* usage;    // e.g. "diff FILE1 FILE2 [--depth N] [--options LIST]"
  const char* summary;  // one line for --help
  CommandFn run;
};

/// Registers a command at static-initialisation time.
struct QctoolCommand {
  explicit QctoolCommand(const CommandInfo& info);
};

const std::vector<CommandInfo>& Commands();

/// Thrown for wrong arguments; main prints the message and the usage.
struct UsageError {
  std::string message;
};

/// "id", "title" or "id-or-title" as a match mode; a UsageError for anything else.
TTopicMatchMode ParseMatchMode(const std::string& value);

/// The exit status main gives when a command fails: 1, or 2 for a command
/// that was asked for the `diff` convention (--exit-code: 0 same, 1
/// different, 2 trouble). A command sets it before anything can fail.
int ErrorStatus();
void SetErrorStatus(int status);

inline constexpr const char* kStdoutErrorEx = "Cannot write to standard output: %s";

/// The most bytes a text, RTF or source file given to qctool may hold: far
/// beyond any topic or source file, and endless input stops there.
inline constexpr size_t kMaxInputBytes = size_t{256} << 20;

/// Reads a whole file as bytes, to the end of its data even when it has no
/// size (a pipe, /dev/stdin, a /proc file). Throws the toolkit's file error
/// when it cannot be opened and EReadError when a read fails or the file
/// holds more than kMaxInputBytes.
std::string ReadFileBytes(const std::string& fileName);

/// A write to standard output that failed. Quiet when the reader has gone
/// (a closed pipe): whoever closed it asked for no more, as `head` does.
class StdoutError : public Exception {
 public:
  StdoutError(std::string message, bool quiet) : Exception(std::move(message)), FQuiet(quiet) {}
  bool Quiet() const { return FQuiet; }

 private:
  bool FQuiet;
};

/// Writes bytes to stdout unchanged; throws StdoutError when they are not all taken.
void WriteStdout(std::string_view bytes);
/// Flushes what stdio holds for stdout; throws StdoutError when that fails
/// or an earlier stdio write did.
void FinishStdout();

}  // namespace qctool
