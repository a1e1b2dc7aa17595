// qctool: a command-line companion over the Qt-free core.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>

#include "toolkit/SysUtils.h"
#include "tools/qctool/Command.h"

namespace {

void PrintHelp(FILE* out) {
  std::fprintf(out, "usage: qctool COMMAND [ARGS...]\n\ncommands:\n");
  auto commands = qctool::Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const auto& c : commands) std::fprintf(out, "  %-60s %s\n", c.usage, c.summary);
  if (commands.empty()) std::fprintf(out, "  (none yet)\n");
}

/// Exit status 0, or 1 with a message when standard output did not take everything.
int FinishOutput() {
  try {
    qctool::FinishStdout();
    return 0;
  } catch (const qctool::StdoutError& e) {
    if (e.Quiet()) return 0;
    std::fprintf(stderr, "qctool: %s\n", e.Message().c_str());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that closes early and a file size limit are write errors with
  // a reason, not signals that end the program half-way.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    PrintHelp(stderr);
    return 1;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(stdout);
    return FinishOutput();
  }
  for (const auto& command : qctool::Commands()) {
    if (name != command.name) continue;
    try {
      const int status = command.run(qctool::Args(argv + 2, argv + argc));
      qctool::FinishStdout();
      return status;
    } catch (const qctool::StdoutError& e) {
      // Whoever closed the pipe asked for no more, as `head` does.
      if (e.Quiet()) return 0;
      std::fprintf(stderr, "qctool: %s\n", e.Message().c_str());
    } catch (const EOSWriteError& e) {
      if (e.ErrorCode() == EPIPE) return 0;
      std::fprintf(stderr, "qctool: %s\n", e.Message().c_str());
    } catch (const qctool::UsageError& e) {
      std::fprintf(stderr, "qctool: %s\nusage: qctool %s\n", e.message.c_str(), command.usage);
    } catch (const Exception& e) {
      std::fprintf(stderr, "qctool: %s\n", e.Message().c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "qctool: %s\n", e.what());
    }
    return qctool::ErrorStatus();
  }
  std::fprintf(stderr, "qctool: unknown command '%s' (see qctool --help)\n", name.c_str());
  return 1;
}
