#pragma once
// The progress bar of the commands that take a while (report, merge).
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace qctool {

using Clock = std::chrono::steady_clock;

/// A bar with topic counts on standard error, once the command has taken a
/// second and only where a person watches (standard error is a terminal).
class TProgressBar {
 public:
  TProgressBar() : FShown(::isatty(STDERR_FILENO) == 1), FStart(Clock::now()) {}
  ~TProgressBar() { Finish(); }
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  void Update(int done, int total) {
    if (!FShown) return;
    const Clock::time_point now = Clock::now();
    if (now - FStart < std::chrono::seconds(1)) return;
    if (FDrawn && done < total && now - FLast < std::chrono::milliseconds(100)) return;
    FLast = now;
    FDrawn = true;
    constexpr int kWidth = 30;
    const int filled = total > 0 ? static_cast<int>(static_cast<int64_t>(done) * kWidth / total) : kWidth;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\rqctool: [%s] %d/%d topics", bar.c_str(), done, total);
    std::fflush(stderr);
  }
  /// Takes the bar off the terminal.
  void Finish() {
    if (!FDrawn) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    FDrawn = false;
  }

 private:
  bool FShown;
  bool FDrawn = false;
  Clock::time_point FStart;
  Clock::time_point FLast;
};

}  // namespace qctool
