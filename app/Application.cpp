// Start-up messages, the exception display, and the loop.
#include "Application.h"

#include "PortAccess.h"

#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
    , title_(titleFor(applicationFilePath()))
{
    setApplicationName(title_);
    setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));

    // A signal, the session ending (Qt closes the windows) or the last
    // window closing: every way out leaves the loop, so main returns and
    // the port is restored after it.
    signals_ = new SignalBridge(this);
    connect(signals_, &SignalBridge::endRequested, this, [this] {
        endRequested_ = true;
        // Before the main loop runs, quit() does nothing, and a message box
        // shown at start (a refused port) would keep the program waiting for
        // a click the signal is meant to replace.
        if (QWidget* box = activeModalWidget())
            box->close();
        quit();
    });

    portio::setFaultHandler([this](const std::string& message) {
        showFault(QString::fromStdString(message));
    });
}

Application::~Application()
{
    // From here on nothing of Qt may be touched: the port is restored after
    // the application object is gone, and a fault then goes to stderr.
    portio::setFaultHandler(nullptr);
    delete mainForm_;
}

QString Application::titleFor(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    name.truncate(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    return name.left(1) + name.mid(1).toLower();
}

bool Application::Initialize()
{
    const std::string failure = portio::startupFailure();
    if (!failure.empty()) {
        showMessage(QString::fromStdString(failure), true);
        return false;
    }
    const std::string notice = portio::startupNotice();
    if (!notice.empty()) {
        showMessage(QString::fromStdString(notice), false);
    }
    return true;
}

void Application::Run()
{
    // A signal that came while Qt was starting has waited in the pipe.
    signals_->drain();
    if (endRequested_)
        return; // asked to end before the loop started
    if (mainForm_)
        mainForm_->show();
    exec();
}

void Application::ShowException(const std::exception& error)
{
    showMessage(QString::fromLocal8Bit(error.what()) + QLatin1Char('.'), true);
}

void Application::showMessage(const QString& text, bool error)
{
    // Also on stderr, for whoever started the program from a terminal.
    std::fprintf(stderr, "%s: %s\n", qPrintable(title_), qPrintable(text));
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Warning, title_, text, QMessageBox::Ok);
    box.exec();
}

void Application::showFault(const QString& text)
{
    // Port faults come from inside a click; one box at a time is enough, and
    // the window stays usable underneath it.
    if (showingFault_) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title_), qPrintable(text));
        return;
    }
    showingFault_ = true;
    showMessage(text, true);
    showingFault_ = false;
}

bool Application::event(QEvent* event)
{
    const bool handled = QApplication::event(event);
    // Qt ends only the loops that run now; one that arrives while a start-up
    // message box is up (logging out at that moment) must also keep the main
    // loop from starting, or the program would outlive its session.
    if (event->type() == QEvent::Quit && event->isAccepted())
        endRequested_ = true;
    return handled;
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
    return false;
}
