// The program's start on the simulated console, as `vorelle2 --simulate`
// starts, up to its main window mapped (`painted`: its first picture painted),
// where the process ends.
#include "ExitWhenShown.h"
#include "app/Application.h"
#include "app/WindowSystem.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Vorelle2"));
    const std::unique_ptr<QApplication> application = vorelle::OpenWindowSystem(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vorelle 2"));
    const vorelle::bench::ExitWhenShown exit(argc > 1 ? argv[1] : nullptr);
    vorelle::Application program({true, {}, {}});
    return program.InitInstance();
}
