#include "languages.h"
#include "mainwindow.h"
#include "quitsignals.h"
#include "systemfilepath.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QStyleFactory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char* argv[])
{
#ifdef __GLIBC__
    // Every video played brings threads of its own, and glibc gives new threads heaps of
    // their own whose freed memory stays with the process: about half a megabyte more for
    // each player window opened and closed. Two heaps: the window's, and the other threads'.
    mallopt(M_ARENA_MAX, 2);
#endif
    // Progress lines go to stderr in every build type, also when stderr is not a terminal;
    // QT_LOGGING_RULES still wins for anyone who wants them quiet.
    qputenv("QT_FORCE_STDERR_LOGGING", "1");
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));

    // Ended from outside, the program ends as when its window is closed, without asking: the
    // window is destroyed after the loop, which stops a download and removes its partial file.
    // Caught before anything else, so that no signal finds the default action (the process
    // killed), not even while the application is still being built.
    QuitSignals::catchEarly();
    QApplication app(argc, argv);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, &QCoreApplication::quit);
    // Names the user's configuration folder (~/.config/velkamo), whatever the binary is called,
    // and the window's X11 class (the second string of WM_CLASS; the first is the binary's
    // name): the menu entry's StartupWMClass.
    QApplication::setApplicationName(QStringLiteral("velkamo"));
    // Wayland docks match a window to its menu entry by this name (the app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.velkamo.Velkamo"));

    QFile qss(path::qssDir().path() + QStringLiteral("/common.qss"));
    qDebug() << qss.fileName();
    qss.open(QIODevice::ReadOnly);
    app.setStyleSheet(QString::fromLatin1(qss.readAll()));
    qss.close();
    app.setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);

    Languages languages(QLocale::system().language());

    MainWindow window;
    window.show();
    return app.exec();
}
