#pragma once

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <utility>

// Work that would stall the interface (reading a large feed or note file, building a long
// text), run on a pooled thread. Its result comes back to the thread of the object that asked,
// in that thread's event loop, as a call of done(result).
//
// The task is its asker's: destroying it abandons the work, and a result that comes later is
// dropped. Work may look at the flag it is given and stop early. The task never outlives its
// asker's use of it: the asker owns it outright (a member), or lives to the application's end,
// which waits for the pooled threads. The result is handed over under a lock that abandoning
// takes too, so it never reaches a dead asker. Work holds copies of what it reads, never the
// asker's members.
class BackgroundTask {
public:
    using Abandoned = std::atomic<bool>;

    ~BackgroundTask() { abandon(); }
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // work(const Abandoned&) -> R runs on a pooled thread; done(R) on asker's thread.
    template <typename Work, typename Done>
    static std::unique_ptr<BackgroundTask> start(QObject* asker, Work work, Done done)
    {
        std::unique_ptr<BackgroundTask> task(new BackgroundTask);
        QThreadPool::globalInstance()->start([state = task->m_state, asker, work = std::move(work),
                                              done = std::move(done)]() mutable {
            if (state->abandoned)
                return;
            auto result =
                std::make_shared<decltype(work(state->abandoned))>(work(state->abandoned));
            const QMutexLocker handOver(&state->lock);
            if (state->abandoned)
                return;
            QMetaObject::invokeMethod(
                asker,
                [state, done, result] {
                    if (state->abandoned)
                        return;
                    state->finished = true;
                    done(std::move(*result));
                },
                Qt::QueuedConnection);
        });
        return task;
    }

    // Neither finished nor abandoned yet.
    bool isRunning() const { return !m_state->finished && !m_state->abandoned; }

    void abandon()
    {
        if (!m_state)
            return;
        const QMutexLocker handOver(&m_state->lock);
        m_state->abandoned = true;
    }

private:
    BackgroundTask() = default;

    struct State {
        QMutex lock;
        Abandoned abandoned{false};
        bool finished = false; // read and written on the asker's thread only
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
