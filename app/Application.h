// The application object: the message loop, the display of exceptions, and
// the creation of the main window.
#pragma once

#include <QApplication>
#include <QString>

#include "SignalBridge.h"

#include <exception>
#include <new>

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    ~Application() override;

    // Shows any message the port layer left at start-up. False when the port
    // asked for cannot be had: the program should then end with code 1.
    bool Initialize();

    // Creates the main window. As the form pattern promises, `reference`
    // holds the window's address while its constructor runs, and is null
    // again if the constructor throws.
    template <typename Form>
    void CreateForm(Form*& reference);

    // Runs the message loop until the main window is closed.
    void Run();

    // The exception display: the message with "." appended, under the
    // application's title, with an OK button and the error icon.
    void ShowException(const std::exception& error);

    QString Title() const { return title_; }

    // The executable's file name without its directory, cut at the first
    // ".", everything after the first character in lower case.
    static QString titleFor(const QString& executablePath);

    // Exceptions escaping an event handler are shown and the loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

protected:
    // Notes an accepted quit, such as the session manager's at logout.
    bool event(QEvent* event) override;

private:
    void showMessage(const QString& text, bool error);
    void showFault(const QString& text);

    QString title_;
    QWidget* mainForm_ = nullptr;
    SignalBridge* signals_ = nullptr;
    bool endRequested_ = false;
    bool showingFault_ = false;
};

template <typename Form>
void Application::CreateForm(Form*& reference)
{
    void* memory = ::operator new(sizeof(Form));
    reference = static_cast<Form*>(memory);
    try {
        new (memory) Form();
    } catch (...) {
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
    if (!mainForm_)
        mainForm_ = reference;
}
