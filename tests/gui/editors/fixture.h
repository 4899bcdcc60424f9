// What the editor tests start from: three exchanges of stations, every editor by name, and the
// link to qn410-sim over a pseudo-terminal as the program has it.
#pragma once

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "editor_test_host.h"
#include "editors/dlg_direct_dial.h"
#include "editors/dlg_direct_select.h"
#include "editors/dlg_function.h"
#include "editors/dlg_line.h"
#include "editors/dlg_member_list.h"
#include "editors/dlg_system.h"
#include "editors/exchange_selector.h"
#include "editors/page_master.h"
#include "editors/page_paging.h"
#include "editors/page_sub.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/sim_process.h"
#include "transfer/record_codec.h"

namespace qn410::test {

using Change = std::function<void(SettingData&)>;
inline const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 5, 0});

inline void Number(StationNumber& number, char (&name)[9], int value) {
    number.Value = value;
    SetText(number.Text, std::to_string(value));
    SetText(name, std::to_string(value));
}
inline MasterSetting& M(SettingData& d, int e, int m) {
    return d.Exchange[e - 1].Master[m - 1];
}
inline SubSetting& S(SettingData& d, int e, int s) {
    return d.Exchange[e - 1].Sub[s - 1];
}

// Three exchanges of 3-digit numbers from 100, 200, 300. Masters 191..194, 291..294, 491..494;
// substations e01..e64, each calling master 1 of its exchange.
inline void ThreeExchanges(SettingData& d) {
    SetDefaults(d);
    d.System.SwitchCnt = 3;
    d.System.NumberSize = 3;
    for (int e = 1; e <= 3; ++e) {
        d.System.SwNumber[e - 1].Value = 100 * e;
        SetText(d.System.SwNumber[e - 1].Text, std::to_string(100 * e));
        for (int m = 1; m <= 4; ++m)
            Number(M(d, e, m).Number, M(d, e, m).Name, (e == 3 ? 400 : 100 * e) + 90 + m);
        for (int s = 1; s <= 64; ++s) {
            Number(S(d, e, s).Number, S(d, e, s).Name, 100 * e + s);
            S(d, e, s).CallSwNo = static_cast<uint8_t>(e);
            S(d, e, s).CallStNo = 1;
        }
    }
}

// Replaces a box's text and presses Enter, which ends the entry as leaving the box does.
inline void TypeInto(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text.isEmpty() ? QString("\b") : text);
    QTest::keyClick(box, Qt::Key_Return);
}

enum class Ed { System, Stations, Line, Function, Select, Scan, Group, Meeting, Paging, Dial };

template <typename T>
std::unique_ptr<EditorFrame> New(EditorHost& host) {
    return std::make_unique<T>(host);
}
inline std::unique_ptr<EditorFrame> (*const kMake[])(EditorHost&) = {
    [](EditorHost& host) -> std::unique_ptr<EditorFrame> {
        return std::make_unique<CDlgSystem>(host, kClock);
    },
    New<CSheetStation>,
    New<CDlgLine>,
    New<CDlgFunction>,
    New<CDlgDirectSelect>,
    New<CDlgScan>,
    New<CDlgGroup>,
    New<CDlgMeeting>,
    New<CSheetPaging>,
    New<CDlgDirectDial>};

// An editor on ThreeExchanges (changed by `change`), shown and active.
struct Editor {
    EditorTestHost own;
    EditorTestHost& host;
    Ed ed;
    std::unique_ptr<EditorFrame> dlg;
    Editor(Ed e, const Change& change = nullptr, EditorTestHost* shared = nullptr)
        : host(shared ? *shared : own), ed(e) {
        if (!shared) ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        Open();
    }
    void Open() {
        dlg = kMake[int(ed)](host);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
    }
    template <typename T>
    T* as() const {
        return static_cast<T*>(dlg.get());
    }
    // The exchange selector (nullptr for Global Setting).
    QComboBox* selector() const {
        if (ed == Ed::System) return nullptr;
        if (ed == Ed::Dial) return as<CDlgDirectDial>()->exchangeList();
        return dlg->findChild<ExchangeSelector*>()->list();
    }
    void Choose(const QString& exchange) { ChooseFromList(selector(), exchange); }
};

// qn410-sim started from the host's data; it saves what its exchanges stored when it stops. The
// host hands every request to the broker, as the view does.
struct SimLink {
    QTemporaryDir dir;
    std::unique_ptr<SimProcess> sim;
    LogHistory history;
    RecordingPrompt linkPrompt;
    LinkBroker broker{history, kClock, linkPrompt};
    EditorTestHost host;

    ~SimLink() {
        broker.Shutdown();  // before the simulator goes
        qunsetenv("QN410_COM1");
    }
    void Start(const QStringList& extra = {}) {
        SilentPrompt silent;
        QVERIFY(WriteSettingFile(dir.filePath("in").toStdString(), host.document, "", silent));
        sim = std::make_unique<SimProcess>(QStringList{"--config", dir.filePath("in"), "--save",
                                                       dir.filePath("out"), "--rate", "0"} +
                                           extra);
        qputenv("QN410_COM1", sim->port().toLocal8Bit());
        host.submit = [this](TransferRequestPtr request, bool abandon) {
            auto* requester = static_cast<QObject*>(request->requester);
            PostLinkRequest(&broker, requester, std::move(request), abandon);
        };
        broker.Start(MaintenanceSetting{});
    }
    void StopAndRead(SettingDocument& held) {
        QVERIFY(sim->Stop());
        std::string password;
        SilentPrompt silent;
        QCOMPARE(ReadSettingFile(dir.filePath("out").toStdString(), held, password, silent),
                 ReadOutcome::Ok);
        RebuildZoneTables(held.data());  // the file keeps the masks only
    }
};

}  // namespace qn410::test
