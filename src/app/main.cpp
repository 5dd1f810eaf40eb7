// vorelle2: the desktop companion of the Vorelle weather-station console.
#include "app/Application.h"
#include "owner/InstanceChannel.h"
#include "app/MainWindow.h"
#include "app/PlotCommand.h"
#include "app/WindowSystem.h"
#include "console/ConsoleDoor.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace vorelle {
namespace {

// The window's own messages, then the console's controls.
const QStringList kOutsideMessages = [] {
    QStringList names = {QStringLiteral("firmware-offer"), QStringLiteral("web-server"),
                         QStringLiteral("mobile-network"), QStringLiteral("reset")};
    for (const std::string_view control : kConsoleControls)
        names << QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size()));
    return names;
}();

// The program's options, as --help lists them.
struct ProgramCommandLine {
    ProgramCommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Watch, set up and update your Vorelle weather-station console."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({simulate, send, show, screenshot, plot, history, from, to, png, size});
    }

    // What is answered on the command line alone, with or without a display:
    // --help, --version, --send and a dialog name that does not exist. A
    // command line the parser cannot read goes the window's way, as it may
    // hold Qt's own window options (-platform, -display, ...).
    bool NeedsNoWindow(const QStringList& arguments)
    {
        return parser.parse(arguments) &&
               (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")) ||
                parser.isSet(send) || (parser.isSet(show) && !MainWindow::DialogNames().contains(parser.value(show))));
    }

    QCommandLineParser parser;
    const QCommandLineOption simulate{QStringLiteral("simulate"),
                                      QStringLiteral("Run on the built-in simulated console instead of USB.")};
    const QCommandLineOption send{
        QStringLiteral("send"),
        QStringLiteral("Hand NAME to the running program and exit. NAME is one of: %1 (plug and unplug pull the "
                       "simulated console's cable).")
            .arg(kOutsideMessages.join(QStringLiteral(", "))),
        QStringLiteral("NAME")};
    const QCommandLineOption show{QStringLiteral("show"),
                                  QStringLiteral("Open the dialog NAME once the main window is up. NAME is one of: %1.")
                                      .arg(MainWindow::DialogNames().join(QStringLiteral(", "))),
                                  QStringLiteral("NAME")};
    const QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                        QStringLiteral("Save the main window (with --show, that dialog) as a PNG "
                                                       "once it shows the console's readings, then exit."),
                                        QStringLiteral("FILE")};
    const QCommandLineOption plot{QStringLiteral("plot"),
                                  QStringLiteral("Draw the graph of QUANTITY (as the Graph dialog names it, e.g. "
                                                 "\"Rain fall\") of the stored recording into the PNG file of "
                                                 "--png, without a window, and exit."),
                                  QStringLiteral("QUANTITY")};
    const QCommandLineOption history{QStringLiteral("history"),
                                     QStringLiteral("With --plot: draw from the history (History.db) instead, as the "
                                                    "History dialog names its quantities (e.g. \"Channel "
                                                    "Temperature\").")};
    const QCommandLineOption from{QStringLiteral("from"),
                                  QStringLiteral("With --plot: the range's start, left out (\"2024-01-31 0:00:00\")."),
                                  QStringLiteral("TIME")};
    const QCommandLineOption to{QStringLiteral("to"), QStringLiteral("With --plot: the range's end, included."),
                                QStringLiteral("TIME")};
    const QCommandLineOption png{QStringLiteral("png"), QStringLiteral("With --plot: the picture's file."),
                                 QStringLiteral("FILE")};
    const QCommandLineOption size{QStringLiteral("size"),
                                  QStringLiteral("With --plot: the picture's size in pixels (default 933x369)."),
                                  QStringLiteral("WxH")};
};

// --send, or a dialog name that does not exist (--help and --version end
// the program while the command line is processed).
int RunWithoutWindow(const ProgramCommandLine& line)
{
    const QCommandLineParser& parser = line.parser;
    if (parser.isSet(line.show) && !MainWindow::DialogNames().contains(parser.value(line.show))) {
        std::fprintf(stderr, "vorelle2: unknown dialog '%s'; one of: %s\n", qPrintable(parser.value(line.show)),
                     qPrintable(MainWindow::DialogNames().join(QStringLiteral(", "))));
        return 2;
    }
    const QString name = parser.value(line.send);
    if (!kOutsideMessages.contains(name)) {
        std::fprintf(stderr, "vorelle2: unknown message '%s'; one of: %s\n", qPrintable(name),
                     qPrintable(kOutsideMessages.join(QStringLiteral(", "))));
        return 2;
    }
    QString error;
    if (!InstanceChannel::Send(InstanceChannel::Key(), name, &error)) {
        std::fprintf(stderr, "vorelle2: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace vorelle

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Vorelle2"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORELLE2_VERSION));
    vorelle::ProgramCommandLine line;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // From a text console, a script or another display, these need no
    // window, and so no display.
    if (line.NeedsNoWindow(arguments)) {
        QCoreApplication application(argc, argv);
        line.parser.process(application);
        return vorelle::RunWithoutWindow(line);
    }

    // A picture drawn for the command line needs no screen.
    if (line.parser.isSet(line.plot) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QApplication> application = vorelle::OpenWindowSystem(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vorelle 2"));
    QApplication::setDesktopFileName(QStringLiteral(VORELLE2_APP_ID));
    line.parser.process(*application);

    if (line.parser.isSet(line.plot))
        return vorelle::RunPlot({line.parser.value(line.plot), line.parser.value(line.from), line.parser.value(line.to),
                                 line.parser.value(line.png), line.parser.value(line.size),
                                 line.parser.isSet(line.history)});

    vorelle::Application app({line.parser.isSet(line.simulate), line.parser.value(line.show),
                              line.parser.value(line.screenshot)});
    return app.InitInstance();
}
