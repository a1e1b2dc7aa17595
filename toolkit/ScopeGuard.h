#pragma once
// Cleanup that cannot be forgotten: a scope object runs the closing half of a
// pair (EndUpdate after BeginUpdate, a flag reset, a handle release) on every
// way out of a block, an exception included.

#include <exception>
#include <utility>

namespace toolkit {

/// Runs a callable when the scope ends, unless dismissed. Not copyable, so
/// the cleanup runs exactly once.
template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F&& f) : FCleanup(std::forward<F>(f)) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() {
    if (FActive) FCleanup();
  }
  /// The work succeeded in a way that needs no cleanup.
  void Dismiss() { FActive = false; }

 private:
  F FCleanup;
  bool FActive = true;
};

template <class F>
TScopeExit(F&&) -> TScopeExit<F>;

/// An update bracket: BeginUpdate now, EndUpdate when the scope ends. Works
/// for every class with that pair (string lists, collections, list controls).
/// EndUpdate raises change notices, which may throw: on a normal exit that
/// error propagates as it would from a plain call; while another error is
/// already unwinding the block, that first error is the one the caller sees.
template <class T>
class TUpdateBracket {
 public:
  explicit TUpdateBracket(T& target) : FTarget(target), FUnwinding(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;
  ~TUpdateBracket() noexcept(false) {
    if (std::uncaught_exceptions() <= FUnwinding) {
      FTarget.EndUpdate();
      return;
    }
    try {
      FTarget.EndUpdate();
    } catch (...) {  // the error already on its way out is reported instead
    }
  }

 private:
  T& FTarget;
  int FUnwinding;
};

template <class T>
TUpdateBracket(T&) -> TUpdateBracket<T>;

}  // namespace toolkit
