// Wires a register source to the connector picture.
#include "PinMonitor.h"

#include "ConnectorView.h"
#include "PinLevels.h"
#include "PortFileWatcher.h"

#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

PinMonitor::PinMonitor(std::unique_ptr<RegisterSource> source, QWidget* parent)
    : QWidget(parent)
    , source_(std::move(source))
    , view_(new ConnectorView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    view_->setSource(QString::fromStdString(source_->description()));
    view_->setInputsClickable(source_->canWriteStatus());
    connect(view_, &ConnectorView::inputPinClicked, this, &PinMonitor::toggleInput);

    if (const std::string file = source_->watchedFile(); !file.empty()) {
        watcher_ = new PortFileWatcher(QString::fromStdString(file), this);
        connect(watcher_, &PortFileWatcher::changed, this, &PinMonitor::refresh);
    } else {
        poll_ = new QTimer(this);
        connect(poll_, &QTimer::timeout, this, &PinMonitor::refresh);
        poll_->start(kPollMs);
    }
    refresh();
}

PinMonitor::~PinMonitor() = default;

void PinMonitor::refresh()
{
    view_->setRegisters(source_->read());
}

void PinMonitor::toggleInput(int number)
{
    // Read afresh rather than trust the picture: the application may have
    // written the port since it was last drawn.
    const std::optional<PortRegisters> now = source_->read();
    if (!now)
        return;
    const std::optional<std::uint8_t> status = PinLevels(*now).statusWithInputToggled(number);
    if (!status)
        return;
    if (const std::string error = source_->writeStatus(*status); !error.empty())
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error) + QLatin1Char('.'));
    refresh();
}
