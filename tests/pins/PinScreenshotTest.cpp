// Runs on a real X server (Xvfb): what lands on the screen, read back from
// the X server rather than from Qt's own backing store, must show each pin in
// the colour of its level, and follow the port when it changes.
#include "ConnectorView.h"
#include "Db25Pinout.h"
#include "PinLevels.h"
#include "PinMonitor.h"
#include "SimulatedPortFile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

QImage grabOnScreen(const QWidget* widget)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return widget->screen()
        ->grabWindow(0, origin.x(), origin.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Inside the pin's face, below the number written on it.
QPoint facePoint(const ConnectorView* view, int pin)
{
    const QRectF face = view->pinRect(pin);
    return QPointF(face.center().x(), face.center().y() + face.height() / 3).toPoint();
}

QRgb expectedFace(const PortRegisters& registers, int number)
{
    const PinInfo& pin = Db25Pinout::pin(number);
    if (pin.role == PinRole::Ground)
        return ConnectorView::kGround;
    if (!PinLevels(registers).high(number))
        return ConnectorView::kLow;
    return pin.role == PinRole::Output ? ConnectorView::kOutputHigh : ConnectorView::kInputHigh;
}

// Empty when every pin on screen has its colour, else the first that does not.
QString firstWrongPin(const ConnectorView* view, const PortRegisters& registers)
{
    const QImage shot = grabOnScreen(view);
    for (const PinInfo& pin : Db25Pinout::all()) {
        const QRgb seen = shot.pixel(facePoint(view, pin.number)) | 0xff000000;
        if (seen != expectedFace(registers, pin.number))
            return QStringLiteral("pin %1 is #%2, expected #%3")
                .arg(pin.number)
                .arg(seen & 0xffffff, 6, 16, QLatin1Char('0'))
                .arg(expectedFace(registers, pin.number) & 0xffffff, 6, 16, QLatin1Char('0'));
    }
    return {};
}

int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

} // namespace

class PinScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
                 "this test reads pixels back from an X server; run it under Xvfb with QT_QPA_PLATFORM=xcb");
    }

    void drawsEveryPinInTheColourOfItsLevel()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("port"));
        PortRegisters registers{0x0F, 0x47, 0x0A};
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1, char(registers.data)) + char(registers.status) + char(registers.control));
        }
        PinMonitor monitor(std::make_unique<SimulatedPortFile>(path.toStdString()));
        monitor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&monitor));
        const ConnectorView* view = monitor.view();
        QTRY_COMPARE(firstWrongPin(view, registers), QString());

        const QImage first = grabOnScreen(view);
        QVERIFY2(distinctColours(first) > 20, "the window should show a picture, not a flat area");
        if (const QString dirName = qEnvironmentVariable("TENVARO_SCREENSHOT_DIR"); !dirName.isEmpty()) {
            QDir().mkpath(dirName);
            QVERIFY(first.save(QDir(dirName).filePath(QStringLiteral("tenvaro-pins-check.png"))));
        }

        // Every output and input flips; the screen has to follow the file.
        registers = {0xF0, 0xB8, 0x05};
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        const std::uint8_t bytes[3] = {registers.data, registers.status, registers.control};
        QCOMPARE(::pwrite(fd, bytes, 3, 0), ssize_t(3));
        ::close(fd);
        QTRY_COMPARE(firstWrongPin(view, registers), QString());
    }
};

QTEST_MAIN(PinScreenshotTest)
#include "PinScreenshotTest.moc"
