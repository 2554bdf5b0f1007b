// Long work of the window (publishing, a Word import, validation) on a thread of its own, so
// that the window keeps answering; what follows it runs on the window's thread.
#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

namespace quirebook {

class BackgroundWork : public QObject {
    Q_OBJECT
  public:
    using Job = std::function<void()>;
    // Called on the window's thread when the job has ended: `error` is the message of an
    // exception that ended it, empty when it ran to its end.
    using Done = std::function<void(const std::string& error)>;

    explicit BackgroundWork(QObject* parent = nullptr) : QObject(parent) {}
    ~BackgroundWork() override;

    // Starts `job` unless work is running; false when it is.
    bool Start(Job job, Done done);
    bool Busy() const { return m_thread != nullptr; }

  signals:
    // After the job's Done has run.
    void Finished();

  private:
    void JobEnded();

    std::unique_ptr<QThread> m_thread;
    Done m_done;
    std::string m_error;
};

}  // namespace quirebook
