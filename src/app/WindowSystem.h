#pragma once

#include <QApplication>

#include <memory>

namespace vorelle {

// Makes the application object of a run that shows windows. When no display
// can be reached (none is set, or the one set does not answer), Qt would
// abort; instead this says so on one line of standard error and ends the
// program with status 1. What Qt's platform plugins report while starting is
// held back until they have started, so that this line is the only one.
std::unique_ptr<QApplication> OpenWindowSystem(int& argc, char** argv);

}  // namespace vorelle
