// qn410-sim as a child of a window test, with Qt's strings.
#pragma once

#include <QStringList>

#include "support/child_process.h"

namespace qn410::test {

class SimProcess : public ctl::test::Simulator {
  public:
    explicit SimProcess(const QStringList& args) : Simulator(Strings(args)) {}

    QString port() const { return QString::fromStdString(Simulator::port()); }
    // Ends the simulator (it saves with --save) and waits for it; true on exit status 0.
    bool Stop() {
        if (pid_ > 0) status_ = Simulator::Stop();
        return status_ == 0;
    }

  private:
    int status_ = -1;
    static std::vector<std::string> Strings(const QStringList& list) {
        std::vector<std::string> out;
        for (const QString& s : list) out.push_back(s.toStdString());
        return out;
    }
};

}  // namespace qn410::test
