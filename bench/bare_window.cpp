// The yardstick of the program's start: a bare Qt Widgets window with one
// label, which ends as soon as it is mapped (`painted`: once painted).
#include "ExitWhenShown.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const vorelle::bench::ExitWhenShown exit(argc > 1 ? argv[1] : nullptr);
    QLabel label(QStringLiteral("Vorelle 2"));
    label.show();
    return QApplication::exec();
}
