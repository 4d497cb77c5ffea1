#pragma once
// One synchroniser per working folder. The first start takes a lock file in the
// folder (a lock left by a process that no longer runs is taken over) and
// listens on a local socket named after the folder; a later start finds the lock
// held and may ask the running one, through that socket, to show its window.
//
//   TSingleInstance instance(folder);
//   if (instance.acquire() == TSingleInstance::Outcome::HeldByOther)
//       return instance.askToShow() == TSingleInstance::Answer::Shown ? 0 : 1;
//   instance.listen(TSingleInstance::Role::Window);
//   connect(&instance, &TSingleInstance::showRequested, window, &Window::restore);

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class TSingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit TSingleInstance(const QString& folder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    enum class Outcome { Acquired, HeldByOther, Failed };
    // Takes the folder's lock without waiting.
    [[nodiscard]] Outcome acquire();
    // Why acquire() failed (Failed), or who holds the lock (HeldByOther).
    [[nodiscard]] const QString& problem() const { return m_problem; }
    // The process id of the holder, 0 when unknown.
    [[nodiscard]] qint64 holderPid() const { return m_holderPid; }

    // What the running instance answered a request to show its window; a
    // holder that does not listen yet is tried again until the time is up.
    enum class Answer { Shown, NoWindow, NoAnswer };
    [[nodiscard]] Answer askToShow(int timeoutMs = 3000);

    // How this instance answers those requests: showing its window (and
    // emitting showRequested) or saying it has none. Needs the lock.
    enum class Role { Window, NoWindow };
    bool listen(Role role);

    // The lock file and the socket's name for a folder.
    [[nodiscard]] static QString lockPath(const QString& folder);
    [[nodiscard]] static QString serverName(const QString& folder);

  signals:
    void showRequested();

  private:
    void answer();

    QString m_folder;
    QLockFile m_lock;
    QString m_problem;
    qint64 m_holderPid = 0;
    Role m_role = Role::NoWindow;
    std::unique_ptr<QLocalServer> m_server;
};
