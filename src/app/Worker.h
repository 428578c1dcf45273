#pragma once

#include <functional>

// The two directions of long work: onto the shared worker pool, and back to the main thread.
//
// Qt is not built with the thread sanitizer, so synchronization that happens inside Qt is
// invisible to it. Jobs and results therefore pass through queues guarded by a std::mutex, and
// the pool is made of plain threads that never end (a QThreadPool guards its queue and ends its
// threads inside Qt). A sanitizer report about this code then means a real race.
namespace Vantrel::Worker {

// Runs work on the shared worker pool, in the order given; a job never waits for another to end.
// The first call comes from the main thread; later ones from any thread.
void run(std::function<void()> work);

// Blocks until every job given to run() has returned and its captures are destroyed. Jobs
// still running when the application ends are not waited for unless someone calls this.
void waitUntilIdle();

// Queues task to run on the main thread, after every task queued before it. Any thread; needs
// a QCoreApplication.
void toMainThread(std::function<void()> task);

} // namespace Vantrel::Worker
