#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace tessaro {

// The window's one worker thread for the long core calls. The core is not
// safe to run twice at once, so a second start while one runs is refused.
// The result comes back on the GUI thread, by the watcher's finished signal.
class CoreWork : public QObject {
    Q_OBJECT

public:
    explicit CoreWork(QObject* parent = nullptr);
    // Waits for a run under way: its task may read what its owner holds.
    ~CoreWork() override;
    CoreWork(const CoreWork&) = delete;
    CoreWork& operator=(const CoreWork&) = delete;

    bool busy() const { return static_cast<bool>(m_deliver); }

    // Runs `task` on the worker thread and hands what it returns to `done` on
    // the GUI thread. False, and nothing started, while another run is under way.
    // The task must own what it reads (copies), or it must stay put until done.
    template <typename Result>
    bool start(std::function<Result()> task, std::function<void(Result)> done) {
        if (busy()) return false;
        auto outcome = std::make_shared<Outcome<Result>>();
        m_deliver = [outcome, done = std::move(done)] {
            if (outcome->error) std::rethrow_exception(outcome->error);
            done(std::move(*outcome->value));
        };
        launch([outcome, task = std::move(task)] {
            try {
                outcome->value.emplace(task());
            } catch (...) {
                outcome->error = std::current_exception();
            }
        });
        return true;
    }

    // Waits for the run under way and hands its result over now.
    void finish();
    // Waits for the run under way; its result is dropped.
    void wait();

signals:
    // A run started (true) or its result was handed over or dropped (false).
    void busy_changed(bool busy);

private:
    template <typename Result>
    struct Outcome {
        std::optional<Result> value;
        std::exception_ptr error;
    };
    void launch(std::function<void()> job);
    void deliver();

    QThreadPool m_pool;  // of one thread
    QFutureWatcher<void> m_watcher;
    std::function<void()> m_deliver;  // set from start until the result is handed over
};

}  // namespace tessaro
