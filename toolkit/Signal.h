#pragma once
// A signal that any number of observers listen to, each through a scoped
// connection: the observer that goes away takes its connection with it, so
// nobody has to remember to clear a callback before destroying itself.
// Observers are called in the order they connected. Connecting or
// disconnecting while the signal is being sent is safe: an observer
// disconnected during a send is not called again in it, one connected
// during a send is first called by the next one.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace toolkit {

namespace detail {

/// What a connection needs to take itself out of its signal.
class TSlotOwner {
 public:
  virtual ~TSlotOwner() = default;
  virtual void Disconnect(uint64_t id) = 0;
};

}  // namespace detail

/// Ends its connection when destroyed (or on Disconnect). Movable, not copyable;
/// a default-made one is connected to nothing.
class TConnection {
 public:
  TConnection() = default;
  TConnection(std::weak_ptr<detail::TSlotOwner> owner, uint64_t id) : FOwner(std::move(owner)), FId(id) {}
  ~TConnection() { Disconnect(); }
  TConnection(TConnection&& other) noexcept : FOwner(std::move(other.FOwner)), FId(other.FId) {
    other.FOwner.reset();
  }
  TConnection& operator=(TConnection&& other) noexcept {
    if (this != &other) {
      Disconnect();
      FOwner = std::move(other.FOwner);
      FId = other.FId;
      other.FOwner.reset();
    }
    return *this;
  }
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  /// Whether the signal still exists and this connection is in it.
  bool Connected() const { return !FOwner.expired(); }
  void Disconnect() {
    if (const std::shared_ptr<detail::TSlotOwner> owner = FOwner.lock()) owner->Disconnect(FId);
    FOwner.reset();
  }

 private:
  std::weak_ptr<detail::TSlotOwner> FOwner;
  uint64_t FId = 0;
};

template <class... Args>
class TSignal {
 public:
  using TSlot = std::function<void(Args...)>;

  TSignal() : FSlots(std::make_shared<TSlots>()) {}
  TSignal(const TSignal&) = delete;
  TSignal& operator=(const TSignal&) = delete;

  /// Adds an observer; it listens for as long as the returned connection lives.
  [[nodiscard]] TConnection Connect(TSlot slot) {
    const uint64_t id = ++FSlots->LastId;
    FSlots->Items.push_back(std::make_shared<TItem>(TItem{id, std::move(slot), true}));
    return TConnection(FSlots, id);
  }

  /// Calls every connected observer in connection order. An exception
  /// thrown by an observer ends the send and reaches the caller.
  void operator()(Args... args) const {
    // A copy of the list: observers may connect and disconnect meanwhile.
    const std::vector<std::shared_ptr<TItem>> items = FSlots->Items;
    for (const std::shared_ptr<TItem>& item : items)
      if (item->Live) item->Slot(args...);
  }

  int ConnectionCount() const { return static_cast<int>(FSlots->Items.size()); }

 private:
  struct TItem {
    uint64_t Id;
    TSlot Slot;
    bool Live;
  };
  struct TSlots : detail::TSlotOwner {
    std::vector<std::shared_ptr<TItem>> Items;
    uint64_t LastId = 0;
    void Disconnect(uint64_t id) override {
      for (auto it = Items.begin(); it != Items.end(); ++it)
        if ((*it)->Id == id) {
          (*it)->Live = false;
          Items.erase(it);
          return;
        }
    }
  };
  std::shared_ptr<TSlots> FSlots;
};

}  // namespace toolkit
