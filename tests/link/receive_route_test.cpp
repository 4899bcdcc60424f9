// The port names COM1..COM4 and the environment that points them elsewhere. The routes of the
// received letters are the receive dispatch's tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "link/port_map.h"
#include "link/receive_route.h"

namespace qn410 {
namespace {

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
