// The real window, driven by mouse and keyboard over a recording fake port.
#include "main.h"

#include "PortAccess.h"
#include "RecordingPort.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTest>
#include <QWindow>

#include <memory>
#include <vector>

using portio::PortCall;
using Calls = std::vector<PortCall>;
Q_DECLARE_METATYPE(Calls)

namespace {

constexpr std::uint32_t kData = 0x378;
constexpr std::uint32_t kControl = 0x37A;

PortCall R(std::uint32_t address, std::uint8_t value) { return {PortCall::Read, address, value}; }
PortCall W(std::uint32_t address, std::uint8_t value) { return {PortCall::Write, address, value}; }

QString describe(const Calls& calls)
{
    QStringList lines;
    for (const PortCall& call : calls)
        lines << QString::asprintf("%c 0x%X 0x%02X", char(call.kind), call.address, call.value);
    return lines.join(QStringLiteral(", "));
}

// All pins low, as the window leaves them after construction.
constexpr std::uint8_t kDataLow = 0x00;
constexpr std::uint8_t kControlLow = 0x0B;

} // namespace

class TParPortDemoTest : public QObject {
    Q_OBJECT

private:
    portio::RecordingPort* port = nullptr;
    std::unique_ptr<TParPortDemo> window;

    void expectCalls(const Calls& expected)
    {
        QCOMPARE(describe(port->calls()), describe(expected));
    }
    QWidget* child(const QString& name) { return window->findChild<QWidget*>(name); }
    void click(QWidget* control)
    {
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
    }

private slots:
    void init()
    {
        auto fake = std::make_unique<portio::RecordingPort>();
        port = fake.get();
        port->preset(kData, kDataLow);
        port->preset(kControl, 0x05); // as ParPort1 left it
        portio::install(std::move(fake));
        window = std::make_unique<TParPortDemo>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup()
    {
        window.reset();
        port = nullptr;
    }

    void constructionDrivesTwelveLinesLowInOrder()
    {
        Calls expected{R(kControl, 0x05), W(kControl, 0x05)};
        for (int bit = 0; bit < 8; ++bit)
            expected.insert(expected.end(), {R(kData, 0x00), W(kData, 0x00)});
        expected.insert(expected.end(), {R(kControl, 0x05), W(kControl, 0x07), R(kControl, 0x07),
                                         W(kControl, 0x03), R(kControl, 0x03), W(kControl, 0x0B)});
        expectCalls(expected);
        for (QAbstractButton* control : window->findChildren<QAbstractButton*>())
            QVERIFY2(!control->isChecked(), qPrintable(control->objectName()));
        QCOMPARE(QApplication::focusWidget(), window->D0);
    }

    void eachControlMakesItsOneCall_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Calls>("calls");
        // From all pins low: the line's bit goes to its high level.
        QTest::newRow("Strobe, pin 1") << "Strobe" << Calls{R(kControl, 0x0B), W(kControl, 0x0A)};
        QTest::newRow("D0, pin 2") << "D0" << Calls{R(kData, 0x00), W(kData, 0x01)};
        QTest::newRow("D1, pin 3") << "D1" << Calls{R(kData, 0x00), W(kData, 0x02)};
        QTest::newRow("D2, pin 4") << "D2" << Calls{R(kData, 0x00), W(kData, 0x04)};
        QTest::newRow("D3, pin 5") << "D3" << Calls{R(kData, 0x00), W(kData, 0x08)};
        QTest::newRow("D4, pin 6") << "D4" << Calls{R(kData, 0x00), W(kData, 0x10)};
        QTest::newRow("D5, pin 7") << "D5" << Calls{R(kData, 0x00), W(kData, 0x20)};
        QTest::newRow("D6, pin 8") << "D6" << Calls{R(kData, 0x00), W(kData, 0x40)};
        QTest::newRow("D7, pin 9") << "D7" << Calls{R(kData, 0x00), W(kData, 0x80)};
        QTest::newRow("AUTOFXIN, pin 14") << "AUTOFXIN" << Calls{R(kControl, 0x0B), W(kControl, 0x09)};
        QTest::newRow("INIT, pin 16") << "INIT" << Calls{R(kControl, 0x0B), W(kControl, 0x0F)};
        QTest::newRow("SLCTIN, pin 17") << "SLCTIN" << Calls{R(kControl, 0x0B), W(kControl, 0x03)};
    }
    void eachControlMakesItsOneCall()
    {
        QFETCH(QString, control);
        QFETCH(Calls, calls);
        port->clearCalls();
        click(child(control));
        expectCalls(calls);
    }

    void checkBoxReportsEveryClickWithTheNewState()
    {
        port->clearCalls();
        click(window->D7);
        QVERIFY(window->D7->isChecked());
        click(window->D7);
        QVERIFY(!window->D7->isChecked());
        QTest::keyClick(window->D7, Qt::Key_Space);
        expectCalls({R(kData, 0x00), W(kData, 0x80), R(kData, 0x80), W(kData, 0x00), R(kData, 0x00),
                     W(kData, 0x80)});
    }

    void radioReportsOnlyWhenItBecomesChecked()
    {
        port->clearCalls();
        click(window->Strobe);
        click(window->INIT);
        QVERIFY(!window->Strobe->isChecked());
        QVERIFY(window->INIT->isChecked());
        // Strobe went high (bit 0 cleared) and stays so; INIT then raised.
        expectCalls({R(kControl, 0x0B), W(kControl, 0x0A), R(kControl, 0x0A), W(kControl, 0x0E)});

        port->clearCalls();
        click(window->INIT);
        QTest::keyClick(window->INIT, Qt::Key_Space);
        QVERIFY(window->INIT->isChecked());
        expectCalls({});
    }

    void arrowKeysMoveAmongRadiosAndCheckTheOneReached()
    {
        click(window->Strobe);
        port->clearCalls();
        QTest::keyClick(window->Strobe, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), window->AUTOFXIN);
        QVERIFY(window->AUTOFXIN->isChecked());
        QVERIFY(!window->Strobe->isChecked());
        expectCalls({R(kControl, 0x0A), W(kControl, 0x08)});
    }

    void tabStopsAreTheCheckBoxesTheCheckedRadioAndTheButton()
    {
        auto tabPath = [this] {
            window->D0->setFocus();
            QStringList path{QApplication::focusWidget()->objectName()};
            for (int i = 0; i < 10 && QApplication::focusWidget() != window->BitBtn1; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                path << QApplication::focusWidget()->objectName();
            }
            return path.join(QLatin1Char(' '));
        };
        QCOMPARE(tabPath(), QStringLiteral("D0 D1 D2 D3 D4 D5 D6 D7 BitBtn1"));
        click(window->INIT);
        QCOMPARE(tabPath(), QStringLiteral("D0 D1 D2 D3 D4 D5 D6 D7 INIT BitBtn1"));
    }

    void keysThatCloseAndKeysThatDoNot_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("C on a check box") << "D0" << int(Qt::Key_C) << int(Qt::NoModifier) << true;
        QTest::newRow("Alt+C on a check box") << "D0" << int(Qt::Key_C) << int(Qt::AltModifier) << true;
        QTest::newRow("Alt+C on the button") << "BitBtn1" << int(Qt::Key_C) << int(Qt::AltModifier) << true;
        QTest::newRow("Enter on the button") << "BitBtn1" << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad Enter on the button") << "BitBtn1" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Space on the button") << "BitBtn1" << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
        QTest::newRow("Enter on a check box") << "D3" << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
        QTest::newRow("Esc on a check box") << "D0" << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
        QTest::newRow("Esc on the button") << "BitBtn1" << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
        QTest::newRow("X on a check box") << "D0" << int(Qt::Key_X) << int(Qt::NoModifier) << false;
    }
    void keysThatCloseAndKeysThatDoNot()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        QWidget* target = child(focus);
        target->setFocus();
        port->clearCalls();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::qWait(200); // a mnemonic presses its button with a short animation
        QCOMPARE(window->isVisible(), !closes);
        QVERIFY(!window->BitBtn1->isDefault());
        if (focus.startsWith(QLatin1Char('D')))
            QCOMPARE(window->findChild<QCheckBox*>(focus)->isChecked(), false);
        expectCalls({});
    }

    void closeButtonAndCloseBoxCloseWithoutTouchingThePort()
    {
        port->clearCalls();
        click(window->BitBtn1);
        QVERIFY(!window->isVisible());

        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->windowHandle()->close(); // what the window manager's close box asks for
        QVERIFY(!window->isVisible());
        expectCalls({});
    }

    void formMatchesItsDescription()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Tenvaro"));
        QCOMPARE(window->size(), QSize(224, 221));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->pos(), QPoint(387, 238));
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QFontInfo font(window->font());
        QCOMPARE(font.pixelSize(), 12);
        QVERIFY2(QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Japanese),
                 qPrintable(font.family()));
        QVERIFY(!window->DataGroup->focusPolicy() && !window->CtrlGroup->focusPolicy());
        QVERIFY(window->DataGroup->title().isEmpty() && window->CtrlGroup->title().isEmpty());
        QVERIFY(!window->BitBtn1->icon().isNull());
    }

    void controlsMatchTheirDescription_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("DataGroup") << "DataGroup" << "ParPortDemo" << QRect(8, 0, 97, 209) << "";
        QTest::newRow("D0") << "D0" << "DataGroup" << QRect(8, 8, 65, 25) << "2: D0";
        QTest::newRow("D1") << "D1" << "DataGroup" << QRect(8, 32, 81, 25) << "3: D1";
        QTest::newRow("D2") << "D2" << "DataGroup" << QRect(8, 56, 73, 25) << "4: D2";
        QTest::newRow("D3") << "D3" << "DataGroup" << QRect(8, 80, 73, 25) << "5: D3";
        QTest::newRow("D4") << "D4" << "DataGroup" << QRect(8, 104, 73, 25) << "6: D4";
        QTest::newRow("D5") << "D5" << "DataGroup" << QRect(8, 128, 73, 25) << "7: D5";
        QTest::newRow("D6") << "D6" << "DataGroup" << QRect(8, 152, 73, 25) << "8: D6";
        QTest::newRow("D7") << "D7" << "DataGroup" << QRect(8, 176, 73, 25) << "9: D7";
        QTest::newRow("CtrlGroup") << "CtrlGroup" << "ParPortDemo" << QRect(112, 0, 105, 113) << "";
        QTest::newRow("Strobe") << "Strobe" << "CtrlGroup" << QRect(8, 16, 81, 17) << "1: #STROBE";
        QTest::newRow("AUTOFXIN") << "AUTOFXIN" << "CtrlGroup" << QRect(8, 40, 89, 17) << "14 :AUTOFX";
        QTest::newRow("INIT") << "INIT" << "CtrlGroup" << QRect(8, 64, 81, 17) << "16: INIT";
        QTest::newRow("SLCTIN") << "SLCTIN" << "CtrlGroup" << QRect(8, 88, 89, 17) << "17: SLCTIN";
        QTest::newRow("BitBtn1") << "BitBtn1" << "ParPortDemo" << QRect(128, 168, 81, 41) << "閉じる(&C)";
    }
    void controlsMatchTheirDescription()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QWidget* control = child(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), parent);
        QCOMPARE(control->geometry(), geometry);
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            QCOMPARE(button->text(), caption);
    }

    void everyCaptionFitsItsControl_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "Strobe", "AUTOFXIN",
                                 "INIT", "SLCTIN", "BitBtn1"})
            QTest::newRow(name) << name;
    }
    void everyCaptionFitsItsControl()
    {
        QFETCH(QString, name);
        auto* control = window->findChild<QAbstractButton*>(name);
        QString text = control->text();
        text.remove(QLatin1Char('&'));
        const QFontMetrics metrics(control->font());
        QRect room;
        int needed = metrics.horizontalAdvance(text);
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QStyleOptionButton option;
            option.initFrom(box);
            room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(radio);
            room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
        } else {
            QStyleOptionButton option;
            option.initFrom(control);
            option.icon = control->icon();
            option.iconSize = control->iconSize();
            room = control->style()->subElementRect(QStyle::SE_PushButtonContents, &option, control);
            needed += control->iconSize().width() + 4; // the gap the style leaves after the icon
        }
        room = room.intersected(control->rect());
        QVERIFY2(room.width() >= needed, qPrintable(QStringLiteral("%1 needs %2 px, has %3")
                                                        .arg(text).arg(needed).arg(room.width())));
        QVERIFY(room.height() >= metrics.height());
    }
};

QTEST_MAIN(TParPortDemoTest)
#include "TParPortDemoTest.moc"
