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
}

Application::~Application()
{
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
