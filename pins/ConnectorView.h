// Draws a DB-25 parallel port connector: every pin lit or dark by its level,
// signal names beside the pins, and the three register bytes beneath.
// A click on a status input reports that pin, so a caller may toggle it.
#pragma once

#include "PortRegisters.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

class ConnectorView : public QWidget {
    Q_OBJECT

public:
    // Pin faces; tests look for these in the drawn picture.
    static constexpr QRgb kOutputHigh = 0xffffc41a; // amber, like a lit LED
    static constexpr QRgb kInputHigh = 0xff35c6ff;  // blue, so inputs stand apart
    static constexpr QRgb kLow = 0xff3b3f45;
    static constexpr QRgb kGround = 0xff8a8f96;

    explicit ConnectorView(QWidget* parent = nullptr);

    // Nothing means the port could not be read; the pins are then drawn dark
    // and the register values as "--".
    void setRegisters(std::optional<PortRegisters> registers);
    std::optional<PortRegisters> registers() const { return registers_; }

    void setSource(const QString& description);
    void setInputsClickable(bool clickable);

    // The face of pin `number` (1..25) in widget coordinates.
    QRectF pinRect(int number) const;
    // The pin under `point`, or 0.
    int pinAt(QPointF point) const;

    // What the tooltip over pin `number` says: signal, register bit, level.
    QString describePin(int number) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void inputPinClicked(int number);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPointF pinCenter(int number) const;
    QColor faceColour(int number) const;
    void drawShell(QPainter& painter) const;
    void drawPin(QPainter& painter, int number) const;
    void drawPinName(QPainter& painter, int number) const;
    void drawSource(QPainter& painter) const;
    void drawRegisters(QPainter& painter) const;
    void drawLegend(QPainter& painter) const;
    QString registerLine(const QString& name, int address, std::optional<std::uint8_t> value) const;

    std::optional<PortRegisters> registers_;
    QString source_;
    bool inputsClickable_ = false;
};
