#pragma once
// TProcessRequests: turns the requests that reach the process from outside
// (SIGINT/SIGTERM: end; SIGHUP: apply the settings anew) into signals handled
// in the event loop. The signal handler itself only writes to a pipe; nothing
// of Qt runs there. Where the platform has no such signals nothing is emitted.

#include <QObject>
#include <memory>

class QSocketNotifier;

class TProcessRequests : public QObject {
    Q_OBJECT

  public:
    explicit TProcessRequests(QObject* parent = nullptr);
    ~TProcessRequests() override;

    // Routes the signals to the requests' descriptor. Call it first thing in
    // main(), before the application object starts any thread (the window
    // system's, D-Bus's): every thread started afterwards inherits the blocked
    // signals, so no library's own handler takes them. An instance made later
    // reads the same descriptor; calling this again does nothing.
    static void prepare();

  signals:
    void endRequested();
    void reloadRequested();

  private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
