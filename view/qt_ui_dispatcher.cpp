// Queued calls on a UI-thread object, guarded against the object going away under a posting worker.
#include "view/qt_ui_dispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>

#include <memory>
#include <mutex>
#include <utility>

namespace corvelle::view {

// The object the calls are queued on, and the lock that keeps a worker from posting to it while the UI
// thread destroys it: its destroyed signal, which Qt emits before it drops the object's queued events,
// clears target under the same lock.
struct QtUiDispatcher::Receiver {
    std::mutex mutex;
    QObject* target = nullptr;  // guarded by mutex
    std::unique_ptr<QObject> owned;
};

QtUiDispatcher::QtUiDispatcher(QObject* parent) : m_receiver(std::make_shared<Receiver>())
{
    QObject* target = nullptr;
    if (parent == nullptr) {
        m_receiver->owned = std::make_unique<QObject>();
        target = m_receiver->owned.get();
    } else {
        target = new QObject(parent);  // owned by parent
    }
    m_receiver->target = target;
    std::weak_ptr<Receiver> weak = m_receiver;
    QObject::connect(target, &QObject::destroyed, [weak] {
        if (const auto receiver = weak.lock()) {
            const std::lock_guard lock(receiver->mutex);
            receiver->target = nullptr;
        }
    });
}

QtUiDispatcher::~QtUiDispatcher()
{
    std::unique_ptr<QObject> owned;
    QObject* target = nullptr;
    {
        const std::lock_guard lock(m_receiver->mutex);
        owned = std::move(m_receiver->owned);
        target = m_receiver->target;
        m_receiver->target = nullptr;
    }
    // A receiver under a parent is not ours to delete, but its queued calls must not outlive us: they
    // hold tasks that may refer to whoever posted them. An owned receiver takes them along.
    if (target != nullptr && !owned)
        QCoreApplication::removePostedEvents(target, QEvent::MetaCall);
    owned.reset();
}

void QtUiDispatcher::post(std::function<void()> task)
{
    const std::lock_guard lock(m_receiver->mutex);
    if (m_receiver->target == nullptr)
        return;
    QMetaObject::invokeMethod(m_receiver->target, std::move(task), Qt::QueuedConnection);
}

}  // namespace corvelle::view
