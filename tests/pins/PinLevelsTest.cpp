// Pin levels from register bytes: the picture must show the connector's pins,
// with the port's inversions undone, and agree with what the controller does.
#include "Db25Pinout.h"
#include "ParPort.h"
#include "PinLevels.h"
#include "PortAccess.h"
#include "RecordingPort.h"

#include <QTest>

#include <memory>

namespace {

// One letter per pin 1..25: H high, L low, G ground.
QString levelString(const PortRegisters& registers)
{
    QString out;
    const PinLevels levels(registers);
    for (const PinInfo& pin : Db25Pinout::all())
        out += pin.role == PinRole::Ground ? QLatin1Char('G') : levels.high(pin.number) ? QLatin1Char('H') : QLatin1Char('L');
    return out;
}

// The connector pin each controller line drives.
constexpr int kPinOfLine[ParPort::kLineCount] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17};

} // namespace

class PinLevelsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<portio::PortBackend> previous_;
    portio::RecordingPort* port_ = nullptr;

private slots:
    void init()
    {
        auto fake = std::make_unique<portio::RecordingPort>();
        port_ = fake.get();
        previous_ = portio::install(std::move(fake));
    }
    void cleanup() { portio::install(std::move(previous_)); }

    void levels_data()
    {
        QTest::addColumn<uchar>("data");
        QTest::addColumn<uchar>("status");
        QTest::addColumn<uchar>("control");
        QTest::addColumn<QString>("expected");
        //                                                          pin 1........10........20....25
        QTest::newRow("all registers 0x00") << uchar(0x00) << uchar(0x00) << uchar(0x00) << "HLLLLLLLLLHLLHLLHGGGGGGGG";
        QTest::newRow("all registers 0xFF") << uchar(0xFF) << uchar(0xFF) << uchar(0xFF) << "LHHHHHHHHHLHHLHHLGGGGGGGG";
        QTest::newRow("controller started, idle inputs") << uchar(0x00) << uchar(0x7F) << uchar(0x05) << "LLLLLLLLLHHHHHHHHGGGGGGGG";
        QTest::newRow("every line low, busy set") << uchar(0x00) << uchar(0x80) << uchar(0x0B) << "LLLLLLLLLLLLLLLLLGGGGGGGG";
        QTest::newRow("every line high, no input") << uchar(0xFF) << uchar(0x80) << uchar(0x04) << "HHHHHHHHHLLLLHLHHGGGGGGGG";
        QTest::newRow("mixed; unused bits set") << uchar(0x5A) << uchar(0x47) << uchar(0xF0) << "HLHLHHLHLHHLLHLLHGGGGGGGG";
        QTest::newRow("error input alone") << uchar(0x01) << uchar(0x88) << uchar(0x0F) << "LHLLLLLLLLLLLLHHLGGGGGGGG";
        QTest::newRow("paper end and select") << uchar(0x80) << uchar(0x30) << uchar(0x0A) << "HLLLLLLLHLHHHLLLLGGGGGGGG";
    }
    void levels()
    {
        QFETCH(uchar, data);
        QFETCH(uchar, status);
        QFETCH(uchar, control);
        QFETCH(QString, expected);
        QCOMPARE(levelString({data, status, control}), expected);
    }

    // Whatever the controller does to a line, the monitor must show on that
    // line's pin, and no other pin may appear to change.
    void agreesWithController_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("state");
        QTest::addColumn<uchar>("before");
        for (int line = 0; line < int(ParPort::kLineCount); ++line)
            for (int state : {0, 1})
                for (uchar before : {uchar(0x00), uchar(0xFF), uchar(0x5A), uchar(0xA5)})
                    QTest::addRow("line %d state %d from 0x%02X", line, state, before) << line << state << before;
    }
    void agreesWithController()
    {
        QFETCH(int, line);
        QFETCH(int, state);
        QFETCH(uchar, before);
        ParPort controller;
        port_->preset(0x378, before);
        port_->preset(0x379, uchar(~before));
        port_->preset(0x37A, before);
        const auto registers = [this] {
            return PortRegisters{port_->registerValue(0x378), port_->registerValue(0x379), port_->registerValue(0x37A)};
        };
        const QString levelsBefore = levelString(registers());

        controller.SetLine(std::uint32_t(line), state);

        QString expected = levelsBefore;
        expected[kPinOfLine[line] - 1] = state ? QLatin1Char('H') : QLatin1Char('L');
        QCOMPARE(levelString(registers()), expected);
    }

    void toggleFlipsOnlyThatInput()
    {
        for (uchar status : {uchar(0x00), uchar(0x7F), uchar(0xFF), uchar(0xA9)}) {
            const PortRegisters start{0x3C, status, 0x05};
            for (const PinInfo& pin : Db25Pinout::all()) {
                const std::optional<std::uint8_t> toggled = PinLevels(start).statusWithInputToggled(pin.number);
                QCOMPARE(toggled.has_value(), pin.role == PinRole::Input);
                if (!toggled)
                    continue;
                PortRegisters after = start;
                after.status = *toggled;
                QString expected = levelString(start);
                const QChar was = expected[pin.number - 1];
                expected[pin.number - 1] = was == QLatin1Char('H') ? QLatin1Char('L') : QLatin1Char('H');
                QVERIFY2(levelString(after) == expected, qPrintable(QStringLiteral("pin %1").arg(pin.number)));
            }
        }
    }

    void pinOutOfRangeIsRejected()
    {
        for (int number : {0, 26, -1})
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, Db25Pinout::pin(number));
    }
};

QTEST_APPLESS_MAIN(PinLevelsTest)
#include "PinLevelsTest.moc"
