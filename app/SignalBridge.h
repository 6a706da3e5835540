// Turns SIGTERM, SIGINT and SIGHUP into a request to end the message loop,
// so that a signalled Tenvaro ends the way a closed one does: the loop
// returns, main returns, and the port is restored on the way out.
//
// The handler only writes the signal number to a pipe (async-signal-safe);
// a QSocketNotifier reads it back on the loop's thread. The handlers can be
// put in place before Qt exists (catchEndingSignals), and a signal caught
// then waits in the pipe until a bridge reads it.
#pragma once

#include <QObject>

#include <csignal>
#include <memory>

class QSocketNotifier;

class SignalBridge : public QObject {
    Q_OBJECT

public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

    // Installs the handlers and their pipe, once; later calls do nothing.
    // Safe to call before any Qt object exists.
    static void catchEndingSignals();

    // Reads what the handler has written so far, emitting endRequested for
    // the first signal; for callers that cannot wait for the event loop.
    void drain();

    // The signal that asked the program to end, or 0.
    int received() const { return received_; }

signals:
    void endRequested(int signal);

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    std::unique_ptr<QSocketNotifier> notifier_;
    int received_ = 0;
};
