#pragma once

#include <QObject>

#include <functional>
#include <stop_token>
#include <thread>

namespace vorelle {

// Work that would hold the UI thread (an exchange with the console, a
// transfer, an import) runs here, one at a time, on a thread of its own. The
// work never touches a widget: it hands back what to do with its result,
// which runs on the UI thread once the work has ended. Every window that
// talks to the console goes through one of these; while one works, the
// window shows it and takes no second command of the kind.
class WorkerJob final {
public:
    // What the work hands back: run on the UI thread when it has ended.
    using Then = std::function<void()>;
    // Runs off the UI thread: it holds copies of what it reads (never a
    // control), and a long one looks at its stop token.
    using Work = std::function<Then(std::stop_token)>;

    // `owner` (a window on the UI thread, which holds this job as a member)
    // is where `then` runs.
    explicit WorkerJob(QObject& owner) : owner_(owner) {}
    // A work still running is asked to stop and waited for.
    ~WorkerJob() = default;
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;

    // From Start until the work's `then` has run.
    bool Busy() const { return busy_; }

    // Starts `work`. False, and nothing started, while a work is busy.
    bool Start(Work work);

    // Starts `work` and runs the event loop until its `then` has run, so the
    // windows repaint and answer meanwhile; `then` may then use what the
    // caller holds. False when the program ends first (its `then` is then
    // dropped) or a work was busy.
    bool Await(Work work);

private:
    QObject& owner_;
    bool busy_ = false;  // UI thread only
    std::jthread thread_;
};

}  // namespace vorelle
