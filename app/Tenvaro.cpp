// Entry point: the port is recorded before this runs (ParPort1's static
// construction) and restored after it returns (its static destruction).
#include "Application.h"
#include "SignalBridge.h"
#include "main.h"

namespace {

// SIGTERM, SIGINT and SIGHUP are caught from before the port is first
// touched: this runs ahead of every static initialiser without a priority,
// ParPort1's among them. One that arrives while Qt is still starting then
// ends the program at the loop, through the same restore as a close.
struct CatchEndingSignals {
    CatchEndingSignals() { SignalBridge::catchEndingSignals(); }
};
__attribute__((init_priority(101))) const CatchEndingSignals catchEndingSignals;

} // namespace

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    try {
        if (!app.Initialize())
            return 1;
        app.CreateForm(ParPortDemo);
        app.Run();
    } catch (const std::exception& error) {
        app.ShowException(error);
    }
    return 0;
}
