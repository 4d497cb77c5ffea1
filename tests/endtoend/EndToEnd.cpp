#include "EndToEnd.h"

#include "support/Codepage.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace endtoend {

void writeSettings(const QString& dir, const Settings& settings) {
    QString text = QStringLiteral("[CONF]\r\n");
    for (const auto& [key, value] : settings)
        text += key + u'=' + value + QStringLiteral("\r\n");
    QFile file(QDir(dir).filePath(QStringLiteral("configAPI.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.errorString().toStdString();
    file.write(ansi::fromUnicode(text));
}

Settings shopSettings(const QString& database, const QString& url, QDate lastClosedDay) {
    if (!lastClosedDay.isValid()) lastClosedDay = QDate::currentDate().addDays(-1);
    return {{QStringLiteral("PATH DOLVEX"), database},
            {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
            {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
            {QStringLiteral("URLBASE"), url},
            {QStringLiteral("chkGetPromo"), QStringLiteral("NAO")},
            {QStringLiteral("timerVenda"), QStringLiteral("1")},
            {QStringLiteral("timerReenvio"), QStringLiteral("100000")},
            {QStringLiteral("DataUltFecha"), lastClosedDay.toString(QStringLiteral("dd/MM/yyyy"))}};
}

SyncProcess::SyncProcess(const QString& dir, const QStringList& arguments, double timeScale) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (timeScale > 1) env.insert(QStringLiteral("KORVANTA_TIME_SCALE"), QString::number(timeScale));
    m_process.setProcessEnvironment(env);
    m_process.start(testpaths::binary(QStringLiteral("src/korvanta-sync")),
                    QStringList{QStringLiteral("--dir"), dir} + arguments);
    m_process.waitForStarted(30'000);
}

SyncProcess::~SyncProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10'000);
    }
}

void SyncProcess::sendSignal(int signal) {
    const qint64 pid = m_process.processId();
    if (pid > 0) ::kill(static_cast<pid_t>(pid), signal);
}

void SyncProcess::drain() {
    m_out += m_process.readAllStandardOutput();
    m_err += m_process.readAllStandardError();
}

bool SyncProcess::waitUntil(const std::function<bool()>& done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 20) {
        if (!m_process.waitForReadyRead(20)) QThread::msleep(20);
        drain();
        if (done()) return true;
    }
    return false;
}

bool SyncProcess::waitForExit(int limitMs) {
    const bool ended = m_process.waitForFinished(limitMs);
    drain();
    return ended;
}

QString SyncProcess::out() {
    drain();
    return QString::fromUtf8(m_out);
}

QString SyncProcess::err() {
    drain();
    return QString::fromUtf8(m_err);
}

QList<MovementPost> movementPosts(const QList<JournalRecord>& journal) {
    static const QRegularExpression caixa(QStringLiteral("/cajas/(\\d+)/movimientos$"));
    QList<MovementPost> posts;
    for (const JournalRecord& r : journal) {
        if (r.endpoint != u"movimientos") continue;
        MovementPost p;
        p.caixa = caixa.match(r.path).captured(1).toInt();
        p.numero = QJsonDocument::fromJson(r.body).object().value(QStringLiteral("numero")).toString();
        p.status = r.status;
        posts << p;
    }
    return posts;
}

void expectLedger(const ErpDatabase& db, const QList<JournalRecord>& journal, Ledger ledger) {
    const auto key = [](int caixa, const QString& numero) {
        return QStringLiteral("%1-%2").arg(caixa).arg(numero);
    };
    QMap<QString, int> accepted; // ticket -> times accepted
    for (const MovementPost& p : movementPosts(journal))
        if (p.status == 200 || p.status == 208) ++accepted[key(p.caixa, p.numero)];

    QMap<QString, int> flags;
    for (const QStringList& row :
         db.rows(QStringLiteral("select nro_cx, nro_cupom, sinc_korvanta from cupom_fiscal")))
        flags[key(row.at(0).toInt(), row.at(1))] = row.at(2).toInt();

    for (auto it = flags.cbegin(); it != flags.cend(); ++it) {
        if (it.value() == 2) {
            EXPECT_TRUE(accepted.contains(it.key()))
                << "ticket " << it.key().toStdString() << " is flagged 2 but the service never accepted it";
        } else if (ledger == Ledger::Complete) {
            ADD_FAILURE() << "ticket " << it.key().toStdString() << " is still flagged " << it.value();
        }
    }
    if (ledger == Ledger::Complete) {
        for (auto it = accepted.cbegin(); it != accepted.cend(); ++it)
            EXPECT_EQ(flags.value(it.key(), -1), 2)
                << "ticket " << it.key().toStdString() << " was accepted but is not flagged 2";
    }
}

} // namespace endtoend
