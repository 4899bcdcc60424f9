// qn410-sim as a child of a window test: started on a pseudo-terminal, whose path is the first
// line of its output; ended with SIGTERM (saving first when asked to) when the test is done.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace qn410::test {

class SimProcess {
  public:
    explicit SimProcess(const QStringList& args) {
        process_.setProgram(QStringLiteral(QN410_SIM_BINARY));
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
        port_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimProcess() { Stop(); }

    QString port() const { return port_; }
    // Ends the simulator (it saves with --save) and waits for it; true on exit status 0.
    bool Stop() {
        if (process_.state() == QProcess::NotRunning) return process_.exitCode() == 0;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(3000);
            return false;
        }
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

  private:
    QProcess process_;
    QString port_;
};

}  // namespace qn410::test
