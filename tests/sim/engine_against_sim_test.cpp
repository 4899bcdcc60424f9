// The tool's link engine against the simulated exchanges, in-process: two independent
// implementations of the line meet on a wire whose clock the test advances (5 ms per step, the
// engine's 100 ms tick every 20 steps). Faults of the simulator must cost time, never data.
#include <gtest/gtest.h>

#include <sstream>

#include "download_records.h"
#include "exchange_link.h"
#include "link/link_engine.h"
#include "setting/setting_data.h"
#include "sim_exchange.h"
#include "support/random_recordable.h"
#include "transfer/upload_plan.h"

namespace qn410::sim::test {
namespace {

const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 0, 0});

class Wire : public LineWriter {
  public:
    Wire(SettingData& held, LineFaults faults, double rate = 0)
        : engine_([this](int, const uint8_t* b,
                         size_t n) { toSim_.append(reinterpret_cast<const char*>(b), n); },
                  [this](LinkNotice n) { notices.push_back(std::move(n)); }),
          link_(*this, trace_, LineTiming{}, faults),
          exchanges_(held, kClock, trace_, rate, 3) {
        link_.SetFrameHandler([this](std::string_view body, Millis now) {
            for (std::string& reply : exchanges_.OnRecord(body, now)) link_.Queue(std::move(reply));
        });
    }
    void Write(std::string_view bytes) override { toTool_ += bytes; }

    void Enqueue(std::string body, uint8_t setMask = kUseMulti) {
        auto request = std::make_unique<TransferRequest>();
        request->setMask = setMask;
        request->body = std::move(body);
        engine_.Enqueue(0, std::move(request));
    }
    void Step() {
        link_.OnBytes(std::exchange(toSim_, {}), now_);
        for (const char c : std::exchange(toTool_, {})) engine_.OnByte(0, static_cast<uint8_t>(c));
        engine_.OnIdle(0);
        for (std::string& record : exchanges_.Due(now_)) link_.Queue(std::move(record));
        link_.OnTime(now_);
        now_ += 5;
        if (now_ % 100 == 0) engine_.Tick();
    }
    // Steps until a notice of one of the given messages arrives (or the limit passes).
    std::optional<LinkNotice> Next(Millis limit = 60000) {
        const Millis end = now_ + limit;
        while (now_ < end) {
            if (!notices.empty()) {
                LinkNotice n = std::move(notices.front());
                notices.erase(notices.begin());
                if (n.message == UM_LINK_SENT || n.message == UM_LINK_RECEIVED ||
                    n.message == UM_LINK_ERROR)
                    return n;
                continue;
            }
            Step();
        }
        return std::nullopt;
    }
    Millis now() const { return now_; }
    const SimExchange& exchanges() const { return exchanges_; }

    std::vector<LinkNotice> notices;

  private:
    std::ostringstream traceText_;
    SimTrace trace_{&traceText_};
    LinkEngine engine_;
    ExchangeLink link_;
    SimExchange exchanges_;
    std::string toSim_, toTool_;
    Millis now_ = 0;
};

TEST(EngineAgainstSim, WholeUploadArrivesDespiteRefusalsAndLostBytes) {
    SettingDocument source, held;
    qn410::test::FillRandomRecordable(source.data(), 11);
    // One refused bid and one refused frame use two of the request's three repeats; now and
    // then an acknowledgement is lost and the tool repeats the frame.
    Wire wire(held.data(), {.refuseBids = 1, .refuseFrames = 1, .delay = 40, .dropEvery = 53});

    const UploadPlan plan(source.data(), 0);
    int sent = 0;
    for (int s = 1; s <= plan.size(); ++s) {
        if (plan.step(s).letter == '\0') continue;  // the closing release is never on the line
        wire.Enqueue(*plan.Record(s, &kClock));
        const auto notice = wire.Next();
        ASSERT_TRUE(notice) << "step " << s;
        ASSERT_EQ(notice->message, UM_LINK_SENT) << "step " << s;
        ++sent;
    }
    EXPECT_EQ(sent, plan.size() - 1);
    EXPECT_GE(wire.exchanges().storedRecords(), sent);  // a repeated frame is stored twice
    EXPECT_EQ(qn410::test::FirstRecordDifference(source.data(), held.data()), std::nullopt);
}

TEST(EngineAgainstSim, DownloadDeliversEveryRecordOnceInOrderDespiteBadFrames) {
    SettingDocument held;
    qn410::test::FillRandomRecordable(held.data(), 12);
    // The first frame is refused three times, the fourth goes through.
    Wire wire(held.data(), {.corruptBcc = 3, .dropEvery = 211});
    const auto expected = DownloadRecords(held.data(), 0, kClock);
    ASSERT_EQ(static_cast<int>(expected.size()), ExpectedDownloadCount(held.data(), 0));

    wire.Enqueue("Q00", kUseMulti | kUseSingle);
    auto notice = wire.Next();
    ASSERT_TRUE(notice);
    ASSERT_EQ(notice->message, UM_LINK_SENT);
    std::vector<std::string> received;
    while (received.size() < expected.size()) {
        notice = wire.Next();
        ASSERT_TRUE(notice) << received.size();
        ASSERT_EQ(notice->message, UM_LINK_RECEIVED);
        received.push_back(notice->item->body);
    }
    EXPECT_EQ(received, expected);
}

TEST(EngineAgainstSim, ToolStopsTheLogWhileRecordsKeepComing) {
    SettingDocument held;
    held.data().System.SwitchCnt = 2;
    Wire wire(held.data(), {}, 100);  // a hundred records a second
    wire.Enqueue("O00" + std::string("1100000000000000"), kUseLog);
    ASSERT_EQ(wire.Next()->message, UM_LINK_SENT);
    int logs = 0;
    while (logs < 200) {
        const auto notice = wire.Next();
        ASSERT_TRUE(notice);
        ASSERT_EQ(notice->message, UM_LINK_RECEIVED);
        ASSERT_EQ(notice->item->body.size(), 35u);
        ++logs;
    }
    // The stop request finds a quiet moment between the exchange's turns.
    wire.Enqueue("O00" + std::string(16, '0'), kUseLog);
    std::optional<LinkNotice> notice;
    do notice = wire.Next();
    while (notice && notice->message == UM_LINK_RECEIVED);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, UM_LINK_SENT);
    // What was already waiting drains, then the line stays quiet.
    while ((notice = wire.Next(10000))) EXPECT_EQ(notice->message, UM_LINK_RECEIVED);
}

}  // namespace
}  // namespace qn410::sim::test
