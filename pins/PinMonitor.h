// The pin monitor's window: the connector picture kept up to date with a
// port, and clicks on status inputs turned into changes of that port.
#pragma once

#include "RegisterSource.h"

#include <QWidget>

#include <memory>

class ConnectorView;
class PortFileWatcher;
class QTimer;

class PinMonitor : public QWidget {
    Q_OBJECT

public:
    // A real port cannot announce changes, so it is read this often instead.
    static constexpr int kPollMs = 100;

    explicit PinMonitor(std::unique_ptr<RegisterSource> source, QWidget* parent = nullptr);
    ~PinMonitor() override;

    ConnectorView* view() const { return view_; }
    PortFileWatcher* watcher() const { return watcher_; }

    // Reads the port again and redraws what changed.
    void refresh();

private:
    void toggleInput(int number);

    std::unique_ptr<RegisterSource> source_;
    ConnectorView* view_;
    PortFileWatcher* watcher_ = nullptr;
    QTimer* poll_ = nullptr;
};
