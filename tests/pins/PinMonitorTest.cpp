// Drives the pin monitor's real window offscreen over a simulated port file:
// clicks on inputs change the file, and every way another program may change
// the file shows in the picture.
#include "ConnectorView.h"
#include "DirectPortReader.h"
#include "MonitorLauncher.h"
#include "ParPort.h"
#include "PinMonitor.h"
#include "PortAccess.h"
#include "PortFileWatcher.h"
#include "SimulatedPort.h"
#include "SimulatedPortFile.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// As the application does it: one byte, in place, through its own descriptor.
void pokeInPlace(const QString& path, off_t offset, uchar value)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::pwrite(fd, &value, 1, offset), ssize_t(1));
    ::close(fd);
}

// As an editor or a script does it: a new file renamed over the old one.
void replaceByRename(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + QStringLiteral(".new");
    writeWhole(temporary, bytes);
    QVERIFY(::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0);
}

QByteArray bytesOf(const std::optional<PortRegisters>& registers)
{
    if (!registers)
        return "none";
    return QByteArray(1, char(registers->data)) + char(registers->status) + char(registers->control);
}

} // namespace

class PinMonitorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    std::unique_ptr<PinMonitor> monitor_;

    ConnectorView* view() const { return monitor_->view(); }
    void click(int pin) { QTest::mouseClick(view(), Qt::LeftButton, {}, view()->pinRect(pin).center().toPoint()); }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        path_ = dir_->filePath(QStringLiteral("port"));
        writeWhole(path_, QByteArray("\x00\x7F\x0B", 3));
        monitor_ = std::make_unique<PinMonitor>(std::make_unique<SimulatedPortFile>(path_.toStdString()));
        monitor_->show();
        QVERIFY(QTest::qWaitForWindowExposed(monitor_.get()));
    }
    void cleanup()
    {
        monitor_.reset();
        dir_.reset();
    }

    void clickOnInputTogglesItsStatusBit_data()
    {
        QTest::addColumn<int>("pin");
        QTest::addColumn<uchar>("bit");
        QTest::newRow("10 ACK") << 10 << uchar(0x40);
        QTest::newRow("11 BUSY") << 11 << uchar(0x80);
        QTest::newRow("12 PE") << 12 << uchar(0x20);
        QTest::newRow("13 SEL") << 13 << uchar(0x10);
        QTest::newRow("15 ERR") << 15 << uchar(0x08);
    }
    void clickOnInputTogglesItsStatusBit()
    {
        QFETCH(int, pin);
        QFETCH(uchar, bit);
        click(pin);
        QCOMPARE(fileBytes(path_), QByteArray("\x00", 1) + char(0x7F ^ bit) + '\x0B');
        QCOMPARE(bytesOf(view()->registers()), fileBytes(path_));
        click(pin);
        QCOMPARE(fileBytes(path_), QByteArray("\x00\x7F\x0B", 3));
    }

    void clickElsewhereChangesNothing_data()
    {
        QTest::addColumn<int>("pin"); // 0: the gap between pins 10 and 11
        for (int pin : {1, 2, 9, 14, 16, 17, 18, 25})
            QTest::addRow("pin %d", pin) << pin;
        QTest::newRow("between two inputs") << 0;
    }
    void clickElsewhereChangesNothing()
    {
        QFETCH(int, pin);
        const QPointF at = pin ? view()->pinRect(pin).center()
                               : (view()->pinRect(10).center() + view()->pinRect(11).center()) / 2;
        QTest::mouseClick(view(), Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(fileBytes(path_), QByteArray("\x00\x7F\x0B", 3));
    }

    // The point of the click: the controller's ReadStatus sees the input move.
    void controllerReadsTheToggledInput()
    {
        auto previous = portio::install(std::make_unique<portio::SimulatedPort>(path_.toStdString()));
        {
            ParPort controller;
            QCOMPARE(controller.ReadStatus(0), uchar(1)); // ACK, status bit 6 of 0x7F
            click(10);
            QCOMPARE(controller.ReadStatus(0), uchar(0));
            click(13);
            QCOMPARE(controller.ReadStatus(3), uchar(0));
        }
        portio::install(std::move(previous));
    }

    void followsWritesInPlace()
    {
        pokeInPlace(path_, 0, 0xA5);
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\xA5\x7F\x0B", 3));
        pokeInPlace(path_, 2, 0x04);
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\xA5\x7F\x04", 3));
    }

    // The application keeps the file open, so a file renamed over it lives
    // on unlinked and its watch never reports a removal: a monitor that does
    // not move its watch to the new file sees no write after the rename.
    void followsFileReplacedByRename()
    {
        const portio::SimulatedPort application(path_.toStdString());
        replaceByRename(path_, QByteArray("\x11\x22\x33", 3));
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\x11\x22\x33", 3));
        replaceByRename(path_, QByteArray("\x44\x55\x66", 3));
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\x44\x55\x66", 3));
        pokeInPlace(path_, 1, 0x00);
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\x44\x00\x66", 3));
        QVERIFY(monitor_->watcher()->watchingFile());
    }

    void followsFileRemovedAndCreatedAgain()
    {
        QVERIFY(QFile::remove(path_));
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("none"));
        writeWhole(path_, QByteArray("\xFF\x80\x00", 3));
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\xFF\x80\x00", 3));
        pokeInPlace(path_, 0, 0x01);
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\x01\x80\x00", 3));
    }

    // Another file changing in the same directory is no reason to redraw.
    void ignoresOtherFilesInTheDirectory()
    {
        QSignalSpy changes(monitor_->watcher(), &PortFileWatcher::changed);
        writeWhole(dir_->filePath(QStringLiteral("unrelated")), "x");
        pokeInPlace(path_, 0, 0x42);
        QTRY_COMPARE(bytesOf(view()->registers()), QByteArray("\x42\x7F\x0B", 3));
        QCOMPARE(changes.count(), 1);
    }

    void pinDescriptions_data()
    {
        QTest::addColumn<int>("pin");
        QTest::addColumn<QString>("expected");
        // The file holds data 0x00, status 0x7F, control 0x0B.
        QTest::newRow("strobe") << 1 << "Pin 1: STB, control bit 0 (inverted by the port): low";
        QTest::newRow("data 7") << 9 << "Pin 9: D7, data bit 7: low";
        QTest::newRow("busy") << 11 << "Pin 11: BUSY, status bit 7 (inverted by the port): high\nClick to toggle.";
        QTest::newRow("initialise") << 16 << "Pin 16: INIT, control bit 2: low";
        QTest::newRow("ground") << 25 << "Pin 25: ground";
    }
    void pinDescriptions()
    {
        QFETCH(int, pin);
        QFETCH(QString, expected);
        QCOMPARE(view()->describePin(pin), expected);
    }

    void missingFileStartsAsAnIdlePort()
    {
        const QString fresh = dir_->filePath(QStringLiteral("fresh"));
        SimulatedPortFile file(fresh.toStdString());
        QCOMPARE(fileBytes(fresh), QByteArray("\x00\x7F\x0C", 3));
        QCOMPARE(bytesOf(file.read()), QByteArray("\x00\x7F\x0C", 3));
    }

    void startUpExitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("simulatedPort");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << QString() << 2;
        QTest::newRow("stray argument") << QStringList{QStringLiteral("port")} << QString() << 2;
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << QString() << 0;
        QTest::newRow("unusable TENVARO_PORTIO_SIM") << QStringList{} << QStringLiteral("/nonexistent/dir/port") << 2;
        QTest::newRow("--direct with --sim") << QStringList{QStringLiteral("--direct"), QStringLiteral("--sim"),
                                                            QStringLiteral("port")}
                                             << QString() << 2;
        QTest::newRow("unusable --sim") << QStringList{QStringLiteral("--sim"), QStringLiteral("/nonexistent/port")}
                                        << QString() << 2;
    }
    void startUpExitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, simulatedPort);
        QFETCH(int, exitCode);
        const auto [code, said] = runPins(arguments, simulatedPort);
        QCOMPARE(code, exitCode);
        QVERIFY2(!said.isEmpty(), "a start that ends at once says why");
        if (!simulatedPort.isEmpty())
            QVERIFY2(said.contains("TENVARO_PORTIO_SIM"), said.constData());
    }

    void directWithoutAPortExitsOne()
    {
        if (DirectPortReader::unavailableReason().empty())
            QSKIP("this machine has a readable port at 0x378; the monitor would open on it");
        const auto [code, said] = runPins({QStringLiteral("--direct")}, QString());
        QCOMPARE(code, 1);
        QVERIFY2(said.contains("directly"), said.constData());
    }

private:
    // Runs the built program; its exit code and what it said.
    std::pair<int, QByteArray> runPins(const QStringList& arguments, const QString& simulatedPort)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TENVARO_PORTIO_SIM"),
                           simulatedPort.isEmpty() ? dir_->filePath(QStringLiteral("cli")) : simulatedPort);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TENVARO_PINS_BINARY), arguments);
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished();
            return {-1, "did not end by itself"};
        }
        if (process.exitStatus() != QProcess::NormalExit)
            return {-1, "crashed"};
        return {process.exitCode(), process.readAllStandardOutput() + process.readAllStandardError()};
    }
};

QTEST_MAIN(PinMonitorTest)
#include "PinMonitorTest.moc"
