#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

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

// Runs `open`, which shows `dialog` modally, and acts on the open dialog with
// `inside`; the dialog is cancelled afterwards if still open. True when
// `inside` ran.
inline bool WithDialog(QDialog& dialog, const std::function<void()>& open, const std::function<void()>& inside)
{
    bool acted = false;
    // A timer, not a queued call: events queued before it are delivered
    // while `inside` waits for them.
    QTimer::singleShot(1, &dialog, [&] {
        acted = true;
        inside();
        if (dialog.isVisible())
            dialog.reject();
    });
    open();
    return acted;
}

}  // namespace vorelle::test
