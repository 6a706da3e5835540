// tenvaro-pins: a live picture of the parallel port's connector.
#include "MonitorLauncher.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tenvaro-pins"));
    QApplication::setApplicationVersion(QStringLiteral(TENVARO_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));
    QGuiApplication::setDesktopFileName(QStringLiteral("tenvaro-pins"));
    return MonitorLauncher::run(app);
}
