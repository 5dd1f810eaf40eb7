// vorelle2: the desktop companion of the Vorelle weather-station console.
#include "app/Application.h"
#include "app/InstanceChannel.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

const QStringList kOutsideMessages = {
    QStringLiteral("firmware-offer"), QStringLiteral("web-server"), QStringLiteral("mobile-network"),
    QStringLiteral("reset"),          QStringLiteral("plug"),       QStringLiteral("unplug"),
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorelle2"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vorelle 2"));
    QApplication::setApplicationVersion(QStringLiteral(VORELLE2_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VORELLE2_APP_ID));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watch, set up and update your Vorelle weather-station console."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Run on the built-in simulated console instead of USB."));
    const QCommandLineOption send(
        QStringLiteral("send"),
        QStringLiteral("Hand NAME to the running program and exit. NAME is one of: %1 (plug and unplug pull the "
                       "simulated console's cable).")
            .arg(kOutsideMessages.join(QStringLiteral(", "))),
        QStringLiteral("NAME"));
    const QCommandLineOption show(
        QStringLiteral("show"),
        QStringLiteral("Open the dialog NAME once the main window is up. NAME is one of: %1.")
            .arg(vorelle::MainWindow::DialogNames().join(QStringLiteral(", "))),
        QStringLiteral("NAME"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the main window (with --show, that dialog) as a PNG "
                                                       "once it shows the console's readings, then exit."),
                                        QStringLiteral("FILE"));
    parser.addOptions({simulate, send, show, screenshot});
    parser.process(application);

    if (parser.isSet(show) && !vorelle::MainWindow::DialogNames().contains(parser.value(show))) {
        std::fprintf(stderr, "vorelle2: unknown dialog '%s'; one of: %s\n", qPrintable(parser.value(show)),
                     qPrintable(vorelle::MainWindow::DialogNames().join(QStringLiteral(", "))));
        return 2;
    }

    if (parser.isSet(send)) {
        const QString name = parser.value(send);
        if (!kOutsideMessages.contains(name)) {
            std::fprintf(stderr, "vorelle2: unknown message '%s'; one of: %s\n", qPrintable(name),
                         qPrintable(kOutsideMessages.join(QStringLiteral(", "))));
            return 2;
        }
        QString error;
        if (!vorelle::InstanceChannel::Send(vorelle::InstanceChannel::Key(), name, &error)) {
            std::fprintf(stderr, "vorelle2: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }

    vorelle::Application app({parser.isSet(simulate), parser.value(show), parser.value(screenshot)});
    return app.InitInstance();
}
