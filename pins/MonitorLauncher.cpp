// Start-up of tenvaro-pins.
#include "MonitorLauncher.h"

#include "DirectPortReader.h"
#include "PinMonitor.h"
#include "SimulatedPort.h"
#include "SimulatedPortFile.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <stdexcept>

namespace {

LaunchPlan stop(const QString& message, int exitCode)
{
    LaunchPlan plan;
    plan.message = message;
    plan.exitCode = exitCode;
    return plan;
}

QString simulatedPortPath(const QCommandLineParser& parser)
{
    if (parser.isSet(QStringLiteral("sim")))
        return parser.value(QStringLiteral("sim"));
    const QString fromEnvironment = qEnvironmentVariable("TENVARO_PORTIO_SIM");
    return fromEnvironment.isEmpty() ? QString::fromStdString(portio::SimulatedPort::defaultPath())
                                     : fromEnvironment;
}

LaunchPlan openSimulated(const QString& path)
{
    try {
        LaunchPlan plan;
        plan.source = std::make_unique<SimulatedPortFile>(path.toStdString());
        return plan;
    } catch (const std::runtime_error& e) {
        return stop(QStringLiteral("tenvaro-pins: %1; set TENVARO_PORTIO_SIM (or --sim) to a writable file path\n")
                        .arg(QString::fromStdString(e.what())),
                    MonitorLauncher::kBadConfiguration);
    }
}

LaunchPlan openDirect()
{
    if (const std::string reason = DirectPortReader::unavailableReason(); !reason.empty())
        return stop(QStringLiteral("tenvaro-pins: cannot read the port directly: %1\n")
                        .arg(QString::fromStdString(reason)),
                    MonitorLauncher::kPortUnavailable);
    LaunchPlan plan;
    plan.source = std::make_unique<DirectPortReader>();
    return plan;
}

} // namespace

LaunchPlan MonitorLauncher::plan(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the pins of a PC parallel port's DB-25 connector, live."));
    parser.addOption({QStringLiteral("sim"),
                      QStringLiteral("Watch the simulated port in <file> (default: $TENVARO_PORTIO_SIM, "
                                     "else a file in $XDG_RUNTIME_DIR)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("direct"),
                      QStringLiteral("Watch the real port at 0x378, read-only, through the processor's I/O "
                                     "instructions (needs root or CAP_SYS_RAWIO).")});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(arguments))
        return stop(QStringLiteral("tenvaro-pins: %1\n%2").arg(parser.errorText(), parser.helpText()),
                    kBadConfiguration);
    if (parser.isSet(help))
        return stop(parser.helpText(), 0);
    if (parser.isSet(version))
        return stop(QStringLiteral("tenvaro-pins %1\n").arg(QCoreApplication::applicationVersion()), 0);
    if (!parser.positionalArguments().isEmpty())
        return stop(QStringLiteral("tenvaro-pins: unexpected argument %1\n%2")
                        .arg(parser.positionalArguments().first(), parser.helpText()),
                    kBadConfiguration);
    if (parser.isSet(QStringLiteral("direct"))) {
        if (parser.isSet(QStringLiteral("sim")))
            return stop(QStringLiteral("tenvaro-pins: --direct and --sim exclude each other\n"), kBadConfiguration);
        return openDirect();
    }
    return openSimulated(simulatedPortPath(parser));
}

int MonitorLauncher::run(QApplication& app)
{
    LaunchPlan start = plan(app.arguments());
    if (!start.source) {
        std::fputs(start.message.toLocal8Bit().constData(), start.exitCode == 0 ? stdout : stderr);
        return start.exitCode;
    }
    PinMonitor monitor(std::move(start.source));
    monitor.setWindowTitle(QStringLiteral("tenvaro-pins"));
    monitor.show();
    return app.exec();
}
