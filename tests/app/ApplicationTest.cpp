// The application object: its title rule, the exception display, a failing
// window constructor, and the icon it carries.
#include "Application.h"

#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// What the next message box said; the box is closed as soon as it shows.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int count = 0;
};

void answerNextBox(SeenBox& seen)
{
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerNextBox(seen);
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        ++seen.count;
        QTest::keyClick(box, Qt::Key_Return);
    });
}

class Thrower : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("The port went away");
        return QObject::event(event);
    }
};

QWidget* constructing = nullptr;

class FailingForm : public QWidget {
public:
    static FailingForm** reference;
    FailingForm()
    {
        constructing = *reference;
        throw std::runtime_error("No window today");
    }
};
FailingForm** FailingForm::reference = nullptr;

Application* app = nullptr;

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void titleFollowsTheExecutablesName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("installed") << "/usr/bin/Tenvaro" << "Tenvaro";
        QTest::newRow("with suffix") << "C:/Tools/Tenvaro.exe" << "Tenvaro";
        QTest::newRow("upper case") << "/opt/TENVARO" << "Tenvaro";
        QTest::newRow("first dot cuts") << "/x/tenvaro.test.bin" << "tenvaro";
        QTest::newRow("dashes kept") << "tenvaro-Pins" << "tenvaro-pins";
        QTest::newRow("dot first") << "/x/.hidden" << "";
    }
    void titleFollowsTheExecutablesName()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(Application::titleFor(path), title);
    }

    void exceptionInAHandlerIsShownAndTheLoopGoesOn()
    {
        SeenBox seen;
        Thrower thrower;
        answerNextBox(seen);
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        bool loopWentOn = false;
        QTimer::singleShot(50, [&] { loopWentOn = true; });
        QTRY_VERIFY(loopWentOn);
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, QStringLiteral("The port went away."));
        QCOMPARE(seen.title, app->Title());
        QCOMPARE(seen.icon, QMessageBox::Critical);
    }

    void showExceptionAppendsAFullStop()
    {
        SeenBox seen;
        answerNextBox(seen);
        app->ShowException(std::runtime_error("Access denied"));
        QCOMPARE(seen.text, QStringLiteral("Access denied."));
        QCOMPARE(seen.title, QStringLiteral("applicationtest"));
    }

    void failingConstructorLeavesTheReferenceNull()
    {
        FailingForm* form = reinterpret_cast<FailingForm*>(this);
        FailingForm::reference = &form;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, app->CreateForm(form));
        QVERIFY(constructing != nullptr && constructing != reinterpret_cast<QWidget*>(this));
        QCOMPARE(form, nullptr);
    }

    void iconIsA32By32SixteenColourPicture()
    {
        const QImage icon(QStringLiteral(":/MAINICON"));
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(icon.colorCount() > 0 && icon.colorCount() <= 16);
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    // Runs last: the application is then asked to end for good.
    void aQuitBeforeTheLoopMakesRunReturnAtOnce()
    {
        // What the session manager's "die" delivers, here while a start-up
        // message box would be up: that box's loop ends, and the main loop
        // must then not start at all.
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(app, &quit);
        bool stillRunning = false;
        QTimer::singleShot(2000, app, [&] {
            stillRunning = true;
            app->quit();
        });
        app->Run();
        QVERIFY2(!stillRunning, "the main loop ran after the application was told to quit");
    }
};

int main(int argc, char* argv[])
{
    Application application(argc, argv);
    app = &application;
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ApplicationTest.moc"
