/// Tests for toolkit/Signal.h: several observers, scoped connections, and
/// changes to the observers while a signal is being sent.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "toolkit/Signal.h"

TEST(Signal, ObserversHearInConnectionOrderUntilTheirConnectionEnds) {
  toolkit::TSignal<int> signal;
  std::vector<int> heard;
  toolkit::TConnection first = signal.Connect([&](int v) { heard.push_back(v); });
  {
    const toolkit::TConnection second = signal.Connect([&](int v) { heard.push_back(10 * v); });
    signal(1);
  }
  signal(2);
  first.Disconnect();
  signal(3);
  EXPECT_EQ(heard, (std::vector<int>{1, 10, 2}));
  EXPECT_EQ(signal.ConnectionCount(), 0);

  // A moved connection keeps listening; the moved-from one ends nothing.
  toolkit::TConnection moved = signal.Connect([&](int v) { heard.push_back(v); });
  toolkit::TConnection target = std::move(moved);
  moved.Disconnect();
  signal(4);
  EXPECT_EQ(heard.back(), 4);
}

TEST(Signal, ObserversMayConnectAndDisconnectWhileItIsSent) {
  toolkit::TSignal<> signal;
  std::vector<char> heard;
  toolkit::TConnection b;
  std::optional<toolkit::TConnection> late;
  const toolkit::TConnection a = signal.Connect([&] {
    heard.push_back('a');
    b.Disconnect();  // not called again in this send
    if (!late) late = signal.Connect([&] { heard.push_back('c'); });
  });
  b = signal.Connect([&] { heard.push_back('b'); });
  signal();
  signal();
  EXPECT_EQ(heard, (std::vector<char>{'a', 'a', 'c'}));
}

TEST(Signal, AConnectionMayOutliveItsSignal) {
  toolkit::TConnection connection;
  {
    toolkit::TSignal<> signal;
    connection = signal.Connect([] {});
    EXPECT_TRUE(connection.Connected());
  }
  EXPECT_FALSE(connection.Connected());
  connection.Disconnect();  // nothing left to do, and no fault
}
