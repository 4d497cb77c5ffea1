#include "app/EngineWork.h"

#include "support/ThreadHandoff.h"

#include <QCoreApplication>

namespace {

class TWorkEvent : public QEvent {
  public:
    explicit TWorkEvent(std::function<void()> work) : QEvent(type()), m_work(std::move(work)) {}
    static QEvent::Type type() {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    void run() { m_work(); }

  private:
    std::function<void()> m_work;
};

} // namespace

void postWork(QObject* receiver, std::function<void()> work) {
    auto* event = new TWorkEvent(std::move(work));
    handoffRelease(receiver);
    QCoreApplication::postEvent(receiver, event);
}

bool runWork(QObject* receiver, QEvent* event) {
    // Before the event is read: it was made on the posting thread.
    handoffAcquire(receiver);
    if (event->type() != TWorkEvent::type()) return false;
    static_cast<TWorkEvent*>(event)->run();
    return true;
}
