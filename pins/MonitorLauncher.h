// Reads the command line and the environment, opens the port to watch and
// runs the monitor's window.
//
// Exit codes: 0 after the window closes; 1 when the port asked for cannot be
// had; 2 for a bad option or environment value (nothing touched then).
#pragma once

#include "RegisterSource.h"

#include <QString>
#include <QStringList>

#include <memory>

class QApplication;

struct LaunchPlan {
    std::unique_ptr<RegisterSource> source; // null when the start failed
    QString message;                        // printed to stderr (or stdout for help)
    int exitCode = 0;
};

class MonitorLauncher {
public:
    static constexpr int kPortUnavailable = 1;
    static constexpr int kBadConfiguration = 2;

    // The port to watch for these arguments (argv[0] first), or why not.
    static LaunchPlan plan(const QStringList& arguments);
    static int run(QApplication& app);
};
