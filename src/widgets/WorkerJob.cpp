#include "widgets/WorkerJob.h"

#include <QEventLoop>

#include <memory>

namespace vorelle {

bool WorkerJob::Start(Work work)
{
    if (busy_)
        return false;
    busy_ = true;
    // The previous work has ended: its `then` has run.
    if (thread_.joinable())
        thread_.join();
    thread_ = std::jthread([this, work = std::move(work)](std::stop_token stop) {
        Then then = work(stop);
        // Dropped with the owner, which goes after this job has joined.
        QMetaObject::invokeMethod(
            &owner_,
            [this, then = std::move(then)] {
                busy_ = false;
                if (then)
                    then();
            },
            Qt::QueuedConnection);
    });
    return true;
}

bool WorkerJob::Await(Work work)
{
    QEventLoop loop;
    bool ended = false;
    // Read and written on the UI thread only; the worker merely carries it.
    auto waiting = std::make_shared<bool>(true);
    const bool started = Start([work = std::move(work), waiting, &loop, &ended](std::stop_token stop) -> Then {
        Then then = work(stop);
        return [then = std::move(then), waiting, &loop, &ended] {
            // A wait that ended early took what `then` refers to with it.
            if (!*waiting)
                return;
            if (then)
                then();
            ended = true;
            loop.quit();
        };
    });
    if (started)
        loop.exec();
    *waiting = false;
    return ended;
}

}  // namespace vorelle
