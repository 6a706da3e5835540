// The connector picture. Pin 1 is at the top left, as on the pin side of a
// cable's plug; pins 1-13 form the wider row, 14-25 sit between them below.
#include "ConnectorView.h"

#include "Db25Pinout.h"
#include "PinLevels.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kPitch = 44;
constexpr qreal kRadius = 15;
constexpr qreal kLeft = 64;        // centre of pin 1
constexpr qreal kTopRowY = 104;
constexpr qreal kBottomRowY = 158;
constexpr qreal kNameGap = 38;     // from a pin's centre to its name
constexpr qreal kRegistersY = 236; // first line of the register table
constexpr qreal kLineHeight = 20;
constexpr int kWidth = int(2 * kLeft + 12 * kPitch);
constexpr int kHeight = 352;

const QColor kBackground(0xf4, 0xf1, 0xea);
const QColor kShell(0x9aa0a8);
const QColor kInsulator(0x1f2226);
const QColor kText(0x20, 0x20, 0x20);
const QColor kOutputName(0x8a, 0x5a, 0x00);
const QColor kInputName(0x00, 0x5f, 0x8a);
const QColor kGroundName(0x60, 0x60, 0x60);

QColor nameColour(PinRole role)
{
    switch (role) {
    case PinRole::Output:
        return kOutputName;
    case PinRole::Input:
        return kInputName;
    case PinRole::Ground:
        break;
    }
    return kGroundName;
}

QString hexByte(std::uint8_t value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString registerName(PortRegister reg)
{
    switch (reg) {
    case PortRegister::Data:
        return QStringLiteral("data");
    case PortRegister::Status:
        return QStringLiteral("status");
    case PortRegister::Control:
        return QStringLiteral("control");
    case PortRegister::None:
        break;
    }
    return {};
}

int bitIndex(std::uint8_t mask)
{
    int index = 0;
    while (mask > 1) {
        mask >>= 1;
        ++index;
    }
    return index;
}

QString bits(std::uint8_t value)
{
    const QString all = QStringLiteral("%1").arg(value, 8, 2, QLatin1Char('0'));
    return all.left(4) + QLatin1Char(' ') + all.mid(4);
}

} // namespace

ConnectorView::ConnectorView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ConnectorView::setRegisters(std::optional<PortRegisters> registers)
{
    if (registers == registers_)
        return;
    registers_ = registers;
    update();
}

void ConnectorView::setSource(const QString& description)
{
    source_ = description;
    update();
}

void ConnectorView::setInputsClickable(bool clickable)
{
    inputsClickable_ = clickable;
}

QSize ConnectorView::sizeHint() const
{
    return {kWidth, kHeight};
}

QSize ConnectorView::minimumSizeHint() const
{
    return sizeHint();
}

QPointF ConnectorView::pinCenter(int number) const
{
    // Centred horizontally, so a wider window keeps the picture in the middle.
    const qreal shift = (width() - kWidth) / 2.0;
    if (number <= Db25Pinout::kTopRow)
        return {shift + kLeft + (number - 1) * kPitch, kTopRowY};
    return {shift + kLeft + kPitch / 2 + (number - Db25Pinout::kTopRow - 1) * kPitch, kBottomRowY};
}

QRectF ConnectorView::pinRect(int number) const
{
    const QPointF centre = pinCenter(number);
    return {centre.x() - kRadius, centre.y() - kRadius, 2 * kRadius, 2 * kRadius};
}

int ConnectorView::pinAt(QPointF point) const
{
    for (const PinInfo& pin : Db25Pinout::all()) {
        const QPointF offset = point - pinCenter(pin.number);
        if (QPointF::dotProduct(offset, offset) <= kRadius * kRadius)
            return pin.number;
    }
    return 0;
}

QColor ConnectorView::faceColour(int number) const
{
    const PinInfo& pin = Db25Pinout::pin(number);
    if (pin.role == PinRole::Ground)
        return QColor::fromRgb(kGround);
    if (!registers_ || !PinLevels(*registers_).high(number))
        return QColor::fromRgb(kLow);
    return QColor::fromRgb(pin.role == PinRole::Output ? kOutputHigh : kInputHigh);
}

void ConnectorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSource(painter);
    drawShell(painter);
    for (const PinInfo& pin : Db25Pinout::all()) {
        drawPin(painter, pin.number);
        drawPinName(painter, pin.number);
    }
    drawRegisters(painter);
    drawLegend(painter);
}

void ConnectorView::drawSource(QPainter& painter) const
{
    painter.setPen(kText);
    painter.drawText(QRectF(12, 8, width() - 24, 24), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(source_, Qt::ElideMiddle, width() - 24));
}

void ConnectorView::drawShell(QPainter& painter) const
{
    // The D shape: the wider row on top, the sides slanting in below.
    const QPointF first = pinCenter(1);
    const QPointF last = pinCenter(Db25Pinout::kTopRow);
    const qreal top = kTopRowY - kRadius - 12;
    const qreal bottom = kBottomRowY + kRadius + 12;
    const qreal slant = 0.3 * (bottom - top);
    QPainterPath outline;
    outline.moveTo(first.x() - kPitch * 0.75, top);
    outline.lineTo(last.x() + kPitch * 0.75, top);
    outline.lineTo(last.x() + kPitch * 0.75 - slant, bottom);
    outline.lineTo(first.x() - kPitch * 0.75 + slant, bottom);
    outline.closeSubpath();

    painter.setPen(QPen(kShell, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kInsulator);
    painter.drawPath(outline);
}

void ConnectorView::drawPin(QPainter& painter, int number) const
{
    const QRectF face = pinRect(number);
    painter.setPen(QPen(QColor(0x0d0d0d), 1.5));
    painter.setBrush(faceColour(number));
    painter.drawEllipse(face);

    const bool lit = faceColour(number).lightness() > 128;
    painter.setPen(lit ? QColor(Qt::black) : QColor(Qt::white));
    painter.drawText(face, Qt::AlignCenter, QString::number(number));
}

void ConnectorView::drawPinName(QPainter& painter, int number) const
{
    const PinInfo& pin = Db25Pinout::pin(number);
    const QPointF centre = pinCenter(number);
    const qreal y = number <= Db25Pinout::kTopRow ? centre.y() - kNameGap : centre.y() + kNameGap;
    QFont font = painter.font();
    font.setBold(pin.role != PinRole::Ground);
    painter.setFont(font);
    painter.setPen(nameColour(pin.role));
    painter.drawText(QRectF(centre.x() - kPitch / 2, y - 10, kPitch, 20), Qt::AlignCenter,
                     QString::fromLatin1(pin.name.data(), qsizetype(pin.name.size())));
    font.setBold(false);
    painter.setFont(font);
}

QString ConnectorView::registerLine(const QString& name, int address, std::optional<std::uint8_t> value) const
{
    const QString where = name.leftJustified(8) + QStringLiteral("(0x") +
                          QString::number(address, 16).toUpper() + QLatin1Char(')');
    if (!value)
        return where.leftJustified(16) + QStringLiteral("  --    ---- ----");
    return where.leftJustified(16) + QStringLiteral("  ") + hexByte(*value) + QStringLiteral("  ") + bits(*value);
}

void ConnectorView::drawRegisters(QPainter& painter) const
{
    painter.save();
    painter.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    painter.setPen(kText);
    auto part = [this](std::uint8_t PortRegisters::*field) -> std::optional<std::uint8_t> {
        return registers_ ? std::optional<std::uint8_t>((*registers_).*field) : std::nullopt;
    };
    const QString lines[] = {
        registerLine(QStringLiteral("Data"), 0x378, part(&PortRegisters::data)),
        registerLine(QStringLiteral("Status"), 0x379, part(&PortRegisters::status)),
        registerLine(QStringLiteral("Control"), 0x37A, part(&PortRegisters::control)),
    };
    const qreal left = pinCenter(1).x() - kRadius;
    for (int i = 0; i < 3; ++i)
        painter.drawText(QPointF(left, kRegistersY + i * kLineHeight), lines[i]);
    if (!registers_) {
        painter.setPen(QColor(0xb00020));
        painter.drawText(QPointF(left, kRegistersY + 3 * kLineHeight), tr("The port cannot be read."));
    }
    painter.restore();
}

void ConnectorView::drawLegend(QPainter& painter) const
{
    struct Entry {
        QRgb colour;
        QString text;
    };
    const Entry entries[] = {
        {kOutputHigh, tr("output high")},
        {kInputHigh, tr("input high")},
        {kLow, tr("low")},
        {kGround, tr("ground")},
    };
    qreal x = pinCenter(1).x() - kRadius;
    const qreal y = kHeight - 40;
    for (const Entry& entry : entries) {
        painter.setPen(QPen(QColor(0x0d0d0d), 1));
        painter.setBrush(QColor::fromRgb(entry.colour));
        painter.drawEllipse(QRectF(x, y - 7, 14, 14));
        painter.setPen(kText);
        painter.drawText(QPointF(x + 20, y + 5), entry.text);
        x += 28 + painter.fontMetrics().horizontalAdvance(entry.text);
    }
    if (inputsClickable_) {
        painter.setPen(kInputName);
        painter.drawText(QPointF(pinCenter(1).x() - kRadius, y + 24),
                         tr("Click an input (ACK, BUSY, PE, SEL, ERR) to toggle it."));
    }
}

QString ConnectorView::describePin(int number) const
{
    const PinInfo& pin = Db25Pinout::pin(number);
    const QString name = QString::fromLatin1(pin.name.data(), qsizetype(pin.name.size()));
    if (pin.role == PinRole::Ground)
        return tr("Pin %1: ground").arg(number);
    QString text = tr("Pin %1: %2, %3 bit %4").arg(number).arg(name, registerName(pin.reg)).arg(bitIndex(pin.mask));
    if (pin.inverted)
        text += tr(" (inverted by the port)");
    if (registers_)
        text += PinLevels(*registers_).high(number) ? tr(": high") : tr(": low");
    if (pin.role == PinRole::Input && inputsClickable_)
        text += tr("\nClick to toggle.");
    return text;
}

bool ConnectorView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const int number = pinAt(help->pos()); number != 0)
            setToolTip(describePin(number));
        else
            setToolTip({});
    }
    return QWidget::event(event);
}

void ConnectorView::mousePressEvent(QMouseEvent* event)
{
    const int number = pinAt(event->position());
    if (event->button() == Qt::LeftButton && inputsClickable_ && number != 0 &&
        Db25Pinout::pin(number).role == PinRole::Input)
        emit inputPinClicked(number);
    QWidget::mousePressEvent(event);
}

void ConnectorView::mouseMoveEvent(QMouseEvent* event)
{
    const int number = pinAt(event->position());
    const bool overInput = inputsClickable_ && number != 0 && Db25Pinout::pin(number).role == PinRole::Input;
    setCursor(overInput ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}
