#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QThread>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");
const QByteArray kNoWindow = QByteArrayLiteral("no-window\n");

QString canonical(const QString& folder) {
    const QString path = QFileInfo(folder).canonicalFilePath();
    return path.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : path;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(canonical(folder)), m_lock(lockPath(folder)) {
    // Only a process that no longer runs leaves a stale lock; a running one is never overtaken.
    m_lock.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::lockPath(const QString& folder) {
    return QDir(canonical(folder)).filePath(QStringLiteral("korvanta-sync.lock"));
}

QString TSingleInstance::serverName(const QString& folder) {
    const QByteArray hash = QCryptographicHash::hash(canonical(folder).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("korvanta-sync-") + QString::fromLatin1(hash.left(20));
}

TSingleInstance::Outcome TSingleInstance::acquire() {
    if (m_lock.tryLock(0)) return Outcome::Acquired;
    switch (m_lock.error()) {
    case QLockFile::LockFailedError: {
        QString host;
        QString application;
        if (!m_lock.getLockInfo(&m_holderPid, &host, &application)) {
            m_problem = QStringLiteral("cannot take the lock file %1: it cannot be read as a lock")
                            .arg(QDir::toNativeSeparators(m_lock.fileName()));
            return Outcome::Failed;
        }
        m_problem = QStringLiteral("already running in %1 (process %2%3)")
                        .arg(QDir::toNativeSeparators(m_folder))
                        .arg(m_holderPid)
                        .arg(host.isEmpty() ? QString() : QStringLiteral(" on ") + host);
        return Outcome::HeldByOther;
    }
    case QLockFile::PermissionError:
        m_problem = QStringLiteral("cannot write the lock file %1: permission denied")
                        .arg(QDir::toNativeSeparators(m_lock.fileName()));
        return Outcome::Failed;
    default:
        m_problem = QStringLiteral("cannot take the lock file %1").arg(QDir::toNativeSeparators(m_lock.fileName()));
        return Outcome::Failed;
    }
}

TSingleInstance::Answer TSingleInstance::askToShow(int timeoutMs) {
    // The holder may have taken the lock a moment ago and not listen yet.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName(m_folder));
        if (socket.waitForConnected(int(qMin<qint64>(deadline.remainingTime(), 500)))) break;
        socket.abort();
        if (deadline.hasExpired()) return Answer::NoAnswer;
        QThread::msleep(100);
    }
    socket.write(kShow);
    if (!socket.waitForBytesWritten(timeoutMs)) return Answer::NoAnswer;
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(timeoutMs)) reply += socket.readAll();
    if (reply == kShown) return Answer::Shown;
    if (reply == kNoWindow) return Answer::NoWindow;
    return Answer::NoAnswer;
}

bool TSingleInstance::listen(Role role) {
    if (!m_lock.isLocked()) return false;
    m_role = role;
    const QString name = serverName(m_folder);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket left behind by a process that crashed is ours to remove.
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        m_server.reset();
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &TSingleInstance::answer);
    return true;
}

void TSingleInstance::answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray request = socket->readLine();
            if (request != kShow) {
                socket->disconnectFromServer();
                return;
            }
            if (m_role == Role::Window) {
                emit showRequested();
                socket->write(kShown);
            } else {
                socket->write(kNoWindow);
            }
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}
