// qctool git-setup --enable|--disable [--local|--global] [--attributes]:
// switches git's handling of project files on or off under one name: the
// readable diff (textconv), the merge driver by topic, the window as
// difftool and as mergetool, and with --attributes the line of the
// repository's .gitattributes that sends *.qcp files to them.
//
// The configuration is edited through `git config --file`, one key at a
// time, only where it differs, so a second run changes nothing; --disable
// removes exactly the keys --enable writes (and their sections once empty)
// and no other. Every change is printed.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "document/QuillcrafterDoc.h"
#include "toolkit/Streams.h"
#include "tools/qctool/Command.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "quillcrafter";
constexpr const char* kAttributesLine = "*.qcp diff=quillcrafter merge=quillcrafter";

struct TGitResult {
  int Status = 0;
  std::string Output;
};

/// Runs git with the arguments, its standard output captured (without the
/// final line end), its errors going to ours.
TGitResult RunGit(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string git = "git";
  argv.push_back(git.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe(fds) != 0) throw Exception("Cannot start git: " + SysErrorMessage(errno));
  const pid_t pid = ::fork();
  if (pid < 0) throw Exception("Cannot start git: " + SysErrorMessage(errno));
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    ::execvp("git", argv.data());
    _exit(127);
  }
  ::close(fds[1]);
  TGitResult result;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.Output.append(buffer, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  if (result.Status == 127) throw Exception("Cannot run git (is it installed?)");
  while (!result.Output.empty() && result.Output.back() == '\n') result.Output.pop_back();
  return result;
}

std::string GitOrFail(const std::vector<std::string>& args, const std::string& what) {
  TGitResult r = RunGit(args);
  if (r.Status != 0) throw Exception("git could not " + what);
  return r.Output;
}

/// A word for the shell: in single quotes, each quote as '\''.
std::string ShellQuote(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

/// This qctool's absolute path and the window beside it: in the build tree
/// build/tools/qctool/qctool has build/app/QuillcrafterJourneymanDiff, once
/// installed both are in the same bindir.
std::pair<std::string, std::string> Programs() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) throw Exception("Cannot find qctool's own path: " + error.message());
  const fs::path dir = self.parent_path();
  fs::path window = dir.parent_path().parent_path() / "app" / "QuillcrafterJourneymanDiff";
  if (!fs::exists(window, error)) window = dir / "QuillcrafterJourneymanDiff";
  return {self.string(), window.string()};
}

struct TSetting {
  std::string Key, Value;
};

std::vector<TSetting> Settings() {
  const auto [qctool, window] = Programs();
  const std::string q = ShellQuote(qctool), w = ShellQuote(window), n = kName;
  return {
      {"diff." + n + ".textconv", q + " textconv"},
      {"diff." + n + ".cachetextconv", "true"},
      {"diff." + n + ".xfuncname", "^== .*$"},
      {"merge." + n + ".name", "help project merge by topic"},
      {"merge." + n + ".driver", q + " merge-driver %O %A %B %L %P %S %X %Y"},
      {"difftool." + n + ".cmd", w + " --diff \"$LOCAL\" \"$REMOTE\" --label \"$MERGED\""},
      {"mergetool." + n + ".cmd", w + " --merge \"$BASE\" \"$LOCAL\" \"$REMOTE\" -o \"$MERGED\""},
      {"mergetool." + n + ".trustExitCode", "true"},
  };
}

std::string Section(const std::string& key) { return key.substr(0, key.rfind('.')); }

std::string ConfigFile(bool global) {
  if (global) {
    if (const char* file = std::getenv("GIT_CONFIG_GLOBAL"); file && *file) return file;
    const char* home = std::getenv("HOME");
    if (!home || !*home) throw Exception("HOME is not set: no global git configuration to edit");
    return std::string(home) + "/.gitconfig";
  }
  const std::string dir = GitOrFail({"rev-parse", "--path-format=absolute", "--git-common-dir"},
                                    "find the repository (run this inside one, or use --global)");
  return dir + "/config";
}

bool Enable(const std::string& file) {
  std::error_code error;
  const fs::path parent = fs::path(file).parent_path();
  if (!parent.empty() && !fs::exists(parent, error)) {
    fs::create_directories(parent, error);
    if (error) throw Exception("Cannot create " + parent.string() + ": " + error.message());
    std::printf("created folder %s\n", parent.string().c_str());
  }
  bool changed = false;
  for (const TSetting& s : Settings()) {
    const TGitResult now = RunGit({"config", "--file", file, "--get", s.Key});
    if (now.Status == 0 && now.Output == s.Value) continue;
    GitOrFail({"config", "--file", file, "--replace-all", s.Key, s.Value}, "set " + s.Key + " in " + file);
    std::printf("%s: set %s = %s%s\n", file.c_str(), s.Key.c_str(), s.Value.c_str(),
                now.Status == 0 ? (" (was " + now.Output + ")").c_str() : "");
    changed = true;
  }
  return changed;
}

bool Disable(const std::string& file) {
  std::error_code error;
  if (!fs::exists(file, error)) return false;
  bool changed = false;
  std::vector<std::string> sections;
  for (const TSetting& s : Settings()) {
    if (RunGit({"config", "--file", file, "--get-all", s.Key}).Status != 0) continue;
    GitOrFail({"config", "--file", file, "--unset-all", s.Key}, "remove " + s.Key + " from " + file);
    std::printf("%s: removed %s\n", file.c_str(), s.Key.c_str());
    changed = true;
    if (sections.empty() || sections.back() != Section(s.Key)) sections.push_back(Section(s.Key));
  }
  // A section left without keys goes too (git keeps its empty header).
  for (const std::string& section : sections) {
    const std::string pattern = "^" + section.substr(0, section.find('.')) + "\\." + kName + "\\.";
    if (RunGit({"config", "--file", file, "--get-regexp", pattern}).Status == 0) continue;
    RunGit({"config", "--file", file, "--remove-section", section});
  }
  return changed;
}

std::string AttributesFile() {
  return GitOrFail({"rev-parse", "--show-toplevel"}, "find the repository's work tree for --attributes") +
         "/.gitattributes";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void WriteText(const std::string& file, const std::string& text) {
  SaveFileSafely(
      file, [&text](TStream& stream) { stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size())); });
}

bool EnableAttributes(const std::string& file) {
  std::error_code error;
  std::string text = fs::exists(file, error) ? qctool::ReadFileBytes(file) : std::string();
  for (const std::string& line : SplitLines(text))
    if (line == kAttributesLine || line == std::string(kAttributesLine) + "\r") return false;
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += std::string(kAttributesLine) + "\n";
  WriteText(file, text);
  std::printf("%s: added the line %s\n", file.c_str(), kAttributesLine);
  return true;
}

bool DisableAttributes(const std::string& file) {
  std::error_code error;
  if (!fs::exists(file, error)) return false;
  const std::string text = qctool::ReadFileBytes(file);
  std::string kept;
  bool removed = false;
  for (const std::string& line : SplitLines(text)) {
    if (line == kAttributesLine || line == std::string(kAttributesLine) + "\r") {
      removed = true;
      continue;
    }
    kept += line + "\n";
  }
  if (!removed) return false;
  if (!text.empty() && text.back() != '\n' && !kept.empty()) kept.pop_back();
  if (kept.empty()) {
    fs::remove(file, error);
    if (error) throw Exception("Cannot remove " + file + ": " + error.message());
    std::printf("%s: removed the line %s (and the file, now empty)\n", file.c_str(), kAttributesLine);
  } else {
    WriteText(file, kept);
    std::printf("%s: removed the line %s\n", file.c_str(), kAttributesLine);
  }
  return true;
}

int RunGitSetup(const qctool::Args& args) {
  int enable = -1;
  bool global = false, attributes = false;
  for (const std::string& arg : args) {
    if (arg == "--enable" || arg == "--disable") {
      const int wanted = arg == "--enable" ? 1 : 0;
      if (enable >= 0 && enable != wanted)
        throw qctool::UsageError{"--enable and --disable exclude each other"};
      enable = wanted;
    } else if (arg == "--local") {
      global = false;
    } else if (arg == "--global") {
      global = true;
    } else if (arg == "--attributes") {
      attributes = true;
    } else {
      throw qctool::UsageError{"unknown argument '" + arg + "'"};
    }
  }
  if (enable < 0) throw qctool::UsageError{"say --enable or --disable"};
  const std::string file = ConfigFile(global);
  const std::string attributesFile = attributes ? AttributesFile() : std::string();
  bool changed = enable ? Enable(file) : Disable(file);
  if (attributes)
    changed = (enable ? EnableAttributes(attributesFile) : DisableAttributes(attributesFile)) || changed;
  if (!changed)
    std::printf("nothing to change: git handling of project files is already %s\n", enable ? "on" : "off");
  if (enable) {
    const std::string n = kName;
    std::printf(
        "\nproject files (with the line '%s' in .gitattributes) now diff as text and merge by topic.\n"
        "  window as difftool:   git difftool --tool=%s -- FILE.qcp\n"
        "  window as mergetool:  git mergetool --tool=%s -- FILE.qcp\n"
        "to bypass it for one command:\n"
        "  the raw bytes in a diff:  git diff --no-textconv (and --no-ext-diff)\n"
        "  a merge as plain text:    git -c merge.%s.driver='git merge-file --marker-size=%%L %%A %%O %%B' "
        "merge ...\n",
        kAttributesLine, kName, kName, n.c_str());
  }
  return 0;
}

const qctool::QctoolCommand kRegistration(
    {"git-setup", "git-setup --enable|--disable [--local|--global] [--attributes]",
     "switch git's readable diffs, merge driver, difftool and mergetool for project files on or off",
     &RunGitSetup});

}  // namespace
