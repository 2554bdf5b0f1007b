// Runs one job at a time on a worker thread and reports its end on the owner's thread.
#include "gui/BackgroundWork.h"

#include <exception>

namespace quirebook {

BackgroundWork::~BackgroundWork() {
    // The job reads and writes the project: it ends before anything it uses goes away.
    if (m_thread) m_thread->wait();
}

bool BackgroundWork::Start(Job job, Done done) {
    if (Busy()) return false;
    m_done = std::move(done);
    m_error.clear();
    m_thread.reset(QThread::create([this, job = std::move(job)] {
        try {
            job();
        } catch (const std::exception& error) {
            m_error = error.what();
        }
    }));
    connect(m_thread.get(), &QThread::finished, this, &BackgroundWork::JobEnded,
            Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void BackgroundWork::JobEnded() {
    m_thread->wait();
    m_thread.reset();
    const Done done = std::move(m_done);
    m_done = nullptr;
    if (done) done(m_error);
    emit Finished();
}

}  // namespace quirebook
