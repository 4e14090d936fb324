#include "core_work.h"

#include <QtConcurrent/QtConcurrentRun>

namespace tessaro {

CoreWork::CoreWork(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1);
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, &CoreWork::deliver);
}

CoreWork::~CoreWork() {
    m_watcher.waitForFinished();
}

void CoreWork::launch(std::function<void()> job) {
    m_watcher.setFuture(QtConcurrent::run(&m_pool, std::move(job)));
    emit busy_changed(true);
}

void CoreWork::deliver() {
    // A result handed over by finish() comes by the signal too: it is gone by then.
    if (!m_deliver) return;
    const std::function<void()> deliver = std::move(m_deliver);
    m_deliver = nullptr;
    // Idle again before the result is told, so the result may start the next run.
    emit busy_changed(false);
    deliver();
}

void CoreWork::finish() {
    m_watcher.waitForFinished();
    deliver();
}

void CoreWork::wait() {
    m_watcher.waitForFinished();
    if (!m_deliver) return;
    m_deliver = nullptr;
    emit busy_changed(false);
}

}  // namespace tessaro
