#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
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

// Counts the paints `widget` gets; it gets none while the UI thread waits.
struct PaintCount final : QObject {
    explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { paints += event->type() == QEvent::Paint; return false; }
    int paints = 0;
};

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
    // while `inside` waits for them. It waits for the dialog to show, after
    // the console has been read for it.
    QTimer shown;
    QObject::connect(&shown, &QTimer::timeout, &dialog, [&] {
        if (!dialog.isVisible() || acted)
            return;
        acted = true;
        inside();
        if (dialog.isVisible())
            dialog.reject();
    });
    shown.start(1);
    open();
    return acted;
}

// Answers every modal message box the moment it shows, as a user pressing
// one button would, and, unless told to leave them, closes any other modal
// dialog with Esc.
class ModalAnswerer {
public:
    enum class OtherDialogs { Close, Leave };

    explicit ModalAnswerer(QMessageBox::StandardButton answer, OtherDialogs others = OtherDialogs::Close)
        : answer_(answer), others_(others)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerOpenBox(); });
        timer_.start(5);
    }

    int answered = 0;
    QStringList texts;  // of the boxes answered

private:
    void AnswerOpenBox()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            QAbstractButton* button = box->button(answer_);
            (button ? button : box->button(QMessageBox::Ok))->click();
            ++answered;
        } else if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && others_ == OtherDialogs::Close) {
            dialog->reject();
            ++answered;
        }
    }

    QMessageBox::StandardButton answer_;
    OtherDialogs others_;
    QTimer timer_;
};

}  // namespace vorelle::test
