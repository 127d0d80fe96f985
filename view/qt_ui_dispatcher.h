// Carries tasks from worker threads to the Qt UI thread, in the order they were posted.
#pragma once

#include "collect/ui_ports.h"

#include <functional>
#include <memory>

class QObject;

namespace corvelle::view {

// Posts each task as a queued call on a receiver object living on the UI thread; post never waits.
// The receiver is a child of parent when one is given (it then goes away with it) and otherwise owned
// by the dispatcher. Tasks still queued when the receiver goes away, and tasks posted afterwards, are
// dropped. Create and destroy on the UI thread; post from any thread.
class QtUiDispatcher final : public collect::UiDispatcher {
public:
    explicit QtUiDispatcher(QObject* parent = nullptr);
    ~QtUiDispatcher() override;
    QtUiDispatcher(const QtUiDispatcher&) = delete;
    QtUiDispatcher& operator=(const QtUiDispatcher&) = delete;

    void post(std::function<void()> task) override;

private:
    struct Receiver;
    std::shared_ptr<Receiver> m_receiver;
};

}  // namespace corvelle::view
