#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace vorelle {

class MainWindow;

// What the command line asks of a run once the main window is up: open one
// dialog (`--show NAME`), and save a picture of it, or of the window, once it
// shows a reading (`--screenshot FILE`), then end the program.
class StartupActions final : public QObject {
    Q_OBJECT

public:
    StartupActions(MainWindow& window, QString dialogName, QString screenshotFile);

    // Starts the actions; the program ends by itself when a screenshot was asked for.
    void Start();

private:
    // Runs `then` once the board shows a reading, or after a while without one.
    void WhenFirstReadingDrawn(const std::function<void()>& then);
    void OpenDialog();
    // Saves the first modal dialog that shows and closes it.
    void GrabNextDialog();
    bool Save(QWidget& widget);
    void Finish(bool saved);

    MainWindow& window_;
    const QString dialogName_;
    const QString screenshotFile_;
    bool saved_ = false;
};

}  // namespace vorelle
