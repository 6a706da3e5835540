// Entry point: the port is recorded before this runs (ParPort1's static
// construction) and restored after it returns (its static destruction).
#include "Application.h"
#include "main.h"

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
