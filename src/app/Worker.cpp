#include "app/Worker.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace Vantrel::Worker {

namespace {

// The shared worker pool: threads that take jobs in the order given. A thread is started when
// a job finds none idle; threads then wait for the next job and never end, so no thread's end
// has to be synchronized with anything. (A QThreadPool guards its queue and ends its threads
// inside Qt, where the sanitizer cannot see it.)
class Pool {
public:
    void add(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
        ++unfinished_;
        if (qsizetype(queue_.size()) > idleThreads_)
            std::thread([this] { serve(); }).detach();
        else
            ready_.notify_one();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return unfinished_ == 0; });
    }

private:
    [[noreturn]] void serve() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                ++idleThreads_;
                ready_.wait(lock, [this] { return !queue_.empty(); });
                --idleThreads_;
                job = std::move(queue_.front());
                queue_.pop_front();
            }
            job();
            job = nullptr; // its captures go before it counts as finished
            {
                std::lock_guard lock(mutex_);
                --unfinished_;
            }
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> queue_;
    qsizetype idleThreads_ = 0;
    int unfinished_ = 0;
};

// Lives on the main thread and runs the tasks queued for it. Every queued task is announced by
// one queued call of drain(), which runs whatever is queued by then, one task at a time so that
// a nested event loop inside a task keeps the order.
class MainThreadInbox : public QObject {
    Q_OBJECT

public:
    MainThreadInbox() { moveToThread(QCoreApplication::instance()->thread()); }

    void post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        // By name, so that the queued call is made entirely inside Qt and carries no data; and
        // under the lock, so that Qt's event, made here and deleted on the main thread after
        // drain() took the lock, is covered by it too.
        QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
    }

public slots:
    void drain() {
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (tasks_.empty())
                    return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

// The two below are created on first use and never destroyed: workers may still use them
// while the application shuts down.

Pool& pool() {
    static Pool* pool = new Pool;
    return *pool;
}

MainThreadInbox& inbox() {
    static MainThreadInbox* box = new MainThreadInbox;
    return *box;
}

} // namespace

void run(std::function<void()> work) {
    // The inbox is made before the first job can post to it, on the thread that starts work:
    // the main thread, which reads it.
    inbox();
    pool().add(std::move(work));
}

void waitUntilIdle() {
    pool().waitUntilIdle();
}

void toMainThread(std::function<void()> task) {
    inbox().post(std::move(task));
}

} // namespace Vantrel::Worker

#include "Worker.moc"
