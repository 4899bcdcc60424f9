// An editor's link to qn410-sim over a pseudo-terminal: the view's broker, the transfer manager
// and the serial channel, as the program has them. The simulator starts from the host's data and
// saves what its exchanges stored when it stops; StopAndRead reads that back.
#pragma once

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "editor_test_host.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "setting/setting_file.h"
#include "support/sim_process.h"

namespace qn410::test {

// Hands every request to the broker, as the view does, and keeps a copy of each.
class BrokerHost : public EditorTestHost {
  public:
    explicit BrokerHost(LinkBroker& broker) : broker_(broker) { answer = false; }
    void SubmitRequest(TransferRequestPtr request, bool abandon) override {
        bodies.push_back(request->body);
        headers.push_back(*request);
        abandons.push_back(abandon);
        auto* requester = static_cast<QObject*>(request->requester);
        PostLinkRequest(&broker_, requester, std::move(request), abandon);
    }

  private:
    LinkBroker& broker_;
};

struct SimLink {
    QTemporaryDir dir;
    QString saved = dir.filePath("saved.txt");
    std::unique_ptr<SimProcess> sim;
    LogHistory history;
    FixedClock clock{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
    RecordingPrompt linkPrompt;
    std::unique_ptr<LinkBroker> broker = std::make_unique<LinkBroker>(history, clock, linkPrompt);
    std::unique_ptr<BrokerHost> host = std::make_unique<BrokerHost>(*broker);

    ~SimLink() {
        broker->Shutdown();  // before the simulator goes: members end in reverse order
        qunsetenv("QN410_COM1");
    }

    // The simulator started from the host's data, and the link open on its pseudo-terminal.
    void Start(const QStringList& extra = {}) {
        const QString config = dir.filePath("config.txt");
        SilentPrompt silent;
        QVERIFY(WriteSettingFile(config.toStdString(), host->document, "", silent));
        host->document.modified = false;
        sim = std::make_unique<SimProcess>(
            QStringList{"--config", config, "--save", saved, "--rate", "0", "--idle-exit", "60"} +
            extra);
        QVERIFY2(sim->port().startsWith("/dev/"), qPrintable(sim->port()));
        qputenv("QN410_COM1", sim->port().toLocal8Bit());
        broker->Start(MaintenanceSetting{});
    }
    // What the simulated exchanges hold, once the simulator has saved it on its way out.
    void StopAndRead(SettingDocument& held) {
        QVERIFY(sim->Stop());
        std::string password;
        SilentPrompt silent;
        QCOMPARE(ReadSettingFile(saved.toStdString(), held, password, silent), ReadOutcome::Ok);
    }
};

// An editor's host: a recording one, or with `sim` one linked to qn410-sim (started by Start).
struct EditorHostOrSim {
    std::unique_ptr<SimLink> link;
    EditorTestHost own;
    EditorTestHost& host;
    explicit EditorHostOrSim(bool sim)
        : link(sim ? std::make_unique<SimLink>() : nullptr), host(link ? *link->host : own) {}
};

}  // namespace qn410::test
