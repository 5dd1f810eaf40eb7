// vorelle2: the desktop companion of the Vorelle weather-station console.
#include "app/Application.h"
#include "app/InstanceChannel.h"
#include "app/MainWindow.h"
#include "app/PlotCommand.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

const QStringList kOutsideMessages = {
    QStringLiteral("firmware-offer"), QStringLiteral("web-server"), QStringLiteral("mobile-network"),
    QStringLiteral("reset"),          QStringLiteral("plug"),       QStringLiteral("unplug"),
};

// A picture drawn for the command line needs no screen.
void DrawWithoutScreenWhenPlotting(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plot") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    DrawWithoutScreenWhenPlotting(argc, argv);
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
    const QCommandLineOption plot(QStringLiteral("plot"),
                                  QStringLiteral("Draw the graph of QUANTITY (as the Graph dialog names it, e.g. "
                                                 "\"Rain fall\") of the stored recording into the PNG file of "
                                                 "--png, without a window, and exit."),
                                  QStringLiteral("QUANTITY"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("With --plot: the range's start, left out (\"2024-01-31 0:00:00\")."),
                                  QStringLiteral("TIME"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("With --plot: the range's end, included."),
                                QStringLiteral("TIME"));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("With --plot: the picture's file."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("With --plot: the picture's size in pixels (default 933x369)."),
                                  QStringLiteral("WxH"));
    parser.addOptions({simulate, send, show, screenshot, plot, from, to, png, size});
    parser.process(application);

    if (parser.isSet(plot))
        return vorelle::RunPlot({parser.value(plot), parser.value(from), parser.value(to), parser.value(png),
                                 parser.value(size)});

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
