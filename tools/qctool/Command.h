#pragma once
// Subcommand registry of qctool: every cmd_*.cpp registers one command
// through a static QctoolCommand object.

#include <string>
#include <vector>

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

/// Reads a whole file as bytes (throws the toolkit's file error).
std::string ReadFileBytes(const std::string& fileName);

/// Writes bytes to stdout unchanged.
void WriteStdout(const std::string& bytes);

}  // namespace qctool
