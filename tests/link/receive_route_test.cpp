#include "link/receive_route.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/port_map.h"

namespace qn410 {
namespace {

TEST(ReceiveRoute, EveryLetterHasItsReceiver) {
    for (const char letter : std::string("ABCDEFGHIJLMNOPQU"))
        EXPECT_EQ(RouteOfLetter(letter), ReceiveRoute::kTransferSheet) << letter;
    EXPECT_EQ(RouteOfLetter('K'), ReceiveRoute::kDialEditor);
    EXPECT_EQ(RouteOfLetter('o'), ReceiveRoute::kLogRecord);
    EXPECT_EQ(RouteOfLetter('p'), ReceiveRoute::kMonitorRecord);
    EXPECT_EQ(RouteOfLetter('z'), ReceiveRoute::kExchangeStatus);
    for (const char other : {'\0', 'R', 'T', 'Z', 'a', '\xC1'})
        EXPECT_EQ(RouteOfLetter(other), ReceiveRoute::kDiscard) << int(other);
}

TEST(ReceiveRoute, BusyExchangeStatusNamesTheExchange) {
    EXPECT_EQ(ExchangeStatusMessage("z030"),
              "Exchange No.  3\nNow receiving data so you can't send");
    EXPECT_EQ(ExchangeStatusMessage("z160"),
              "Exchange No. 16\nNow receiving data so you can't send");
    EXPECT_EQ(ExchangeStatusMessage("z031"), "Exchange No.  3\nCommunication Error");
    EXPECT_FALSE(ExchangeStatusMessage("z032"));
    EXPECT_FALSE(ExchangeStatusMessage("z03"));
}

TEST(PortMap, ComNamesMapToDevicesAndEnvironmentOverrides) {
    ::unsetenv("QN410_COM2");
    EXPECT_EQ(ResolvePort("COM2"), "/dev/ttyS1");
    ::setenv("QN410_COM2", "/dev/ttyUSB0", 1);
    EXPECT_EQ(ResolvePort("COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceOfPort(1), "/dev/ttyUSB0");
    ::unsetenv("QN410_COM2");
    EXPECT_EQ(ResolvePort("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(DeviceOfPort(4), "");
    EXPECT_FALSE(IsPseudoTerminal("/dev/null"));
    EXPECT_FALSE(IsPseudoTerminal("/no/such/device"));
}

}  // namespace
}  // namespace qn410
