// SIGTERM and SIGHUP (a kill, a logout) close the window the ordinary way, so everything is
// saved: the signal handler only writes a byte to a pipe that the event loop watches.
// Tests: tests/app/mainform_files_test.cpp.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kv::app {

class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    // onSignal runs on the event loop, once per signal received. One instance at a time.
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;  // the default actions come back

  private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kv::app
