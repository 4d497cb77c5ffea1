#pragma once
// What fake-korvanta's journal says a soak run sent: the movement and closing
// posts with their statuses, the distinct tickets accepted, and the GETs.

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QString>

namespace bench {

struct JournalCounts {
    int movements = 0;             // movement posts
    int movementsAccepted = 0;     // of which answered 200 or 208
    int ticketsAccepted = 0;       // distinct sales (register/numero/fecha) accepted, not cancelled
    int cancellationsAccepted = 0; // distinct cancellations accepted
    int queuedFailures = 0;        // requests answered with a status queued by the run
    int closings = 0;              // closing posts
    int closingsAccepted = 0;      // of which answered 200
    int promotionGets = 0;
    int resendGets = 0; // both lists
};

inline JournalCounts readJournal(const QString& path) {
    JournalCounts c;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return c;
    QSet<QString> sales, cancellations;
    while (!file.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(file.readLine()).object();
        const QString endpoint = o.value("endpoint").toString();
        const int status = o.value("status").toInt();
        if (o.value("reason").toString() == u"queued status") ++c.queuedFailures;
        if (endpoint == u"movimientos") {
            ++c.movements;
            if (status != 200 && status != 208) continue;
            ++c.movementsAccepted;
            const QJsonObject doc = QJsonDocument::fromJson(o.value("body").toString().toUtf8()).object();
            QString numero = doc.value("numero").toString();
            if (numero.startsWith(u'-')) numero.remove(0, 1); // a cancellation's number
            const QString key =
                o.value("path").toString() + u'|' + numero + u'|' + doc.value("fecha").toString();
            (doc.value("cancelacion").toBool() ? cancellations : sales).insert(key);
        } else if (endpoint == u"cierresDiarios") {
            ++c.closings;
            if (status == 200) ++c.closingsAccepted;
        } else if (endpoint == u"promociones") {
            ++c.promotionGets;
        } else if (endpoint.startsWith(u"solicitudes")) {
            ++c.resendGets;
        }
    }
    // A cancelled ticket is posted first as a sale, under the same key.
    c.ticketsAccepted = int(sales.subtract(cancellations).size());
    c.cancellationsAccepted = int(cancellations.size());
    return c;
}

} // namespace bench
