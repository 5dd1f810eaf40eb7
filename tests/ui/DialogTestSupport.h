#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace vorelle::test {

// The control of a dialog by its id.
template <class Control>
Control* ById(QWidget& dialog, int id)
{
    for (Control* control : dialog.findChildren<Control*>())
        if (control->property("controlId").toInt() == id)
            return control;
    ADD_FAILURE() << "no control " << id;
    return nullptr;
}

// Runs the event loop until `done` holds or `patienceMs` pass.
inline bool SpinUntil(const std::function<bool()>& done, int patienceMs = 5000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < patienceMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

}  // namespace vorelle::test
