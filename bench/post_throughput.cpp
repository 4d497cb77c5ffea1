// post_throughput: 1,000 POSTs of a 2 KB movement document through the request
// frame (a fresh per-request client each time, as the sales upload makes them)
// against fake-korvanta, and the same POSTs through a bare libcurl loop on one
// reused handle. Prints both times, their ratio (goal: at most 1.2) and how
// many TCP connections each loop used, as the service's journal recorded them.
//
//   post_throughput [--posts N] [--rounds R]
//
// The last line, "RESULT post_throughput key=value ...", holds the median
// figures for scripts/bench.
#include "BenchSupport.h"
#include "api/RequestFrame.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>


#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kUser = QStringLiteral("loja");
const QString kPassword = QStringLiteral("s3nha");

// A sale movement of about 2 KB (eight items), lines ended by CR LF.
QByteArray document(int numero) {
    QString items;
    for (int i = 0; i < 8; ++i) {
        items += QStringLiteral("%1{\r\n\"codigoArticulo\":\"%2\",\r\n\"codigoBarras\":\"78910000%3\",\r\n"
                                "\"descripcionArticulo\":\"CAFE SOLUVEL 50G\",\r\n\"cantidad\":2,\r\n"
                                "\"importeUnitario\":11.90,\r\n\"importe\":23.80,\r\n\"descuento\":0.00,\r\n"
                                "\"recargo\":0.00\r\n}\r\n")
                     .arg(i ? "," : "")
                     .arg(1000 + i)
                     .arg(10000 + i);
    }
    return QStringLiteral("{\r\n\"fecha\":\"2020-06-10T15:12:00.000-0300\",\r\n\"numero\":\"%1\",\r\n"
                          "\"detalles\":[\r\n%2],\r\n\"descuentoTotal\":0.00,\r\n\"recargoTotal\":0.00,\r\n"
                          "\"codigoMoneda\":\"986\",\r\n\"cotizacion\":1.00,\r\n\"total\":166.60,\r\n"
                          "\"documentoCliente\":null,\r\n\"cancelacion\":false,\r\n\"pagos\":[\r\n{\r\n"
                          "\"codigoTipoPago\":9,\r\n\"codigoMoneda\":\"986\",\r\n\"importe\":166.60,\r\n"
                          "\"cotizacion\":1.00,\r\n\"documentoCliente\":null,\r\n\"bin\":null,\r\n"
                          "\"ultimosDigitosTarjeta\":null,\r\n\"numeroAutorizacion\":null,\r\n"
                          "\"codigoTarjeta\":null\r\n}\r\n]\r\n}\r\n")
        .arg(numero)
        .arg(items)
        .toUtf8();
}

// The POSTs through the frame: one fresh client per POST.
qint64 frameLoop(const QString& url, const std::vector<QByteArray>& docs) {
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& doc : docs) {
        auto client = api::config_ftp_json(kUser, kPassword, api::kVersao, api::kVersao);
        const HttpReply reply = client->post(url, doc);
        if (reply.statusCode != 200) std::fprintf(stderr, "frame: status %d\n", reply.statusCode);
    }
    return timer.nsecsElapsed();
}

// The same POSTs with bare libcurl: one handle, headers built once.
qint64 bareLoop(const QString& url, const std::vector<QByteArray>& docs) {
    bench::BarePoster poster(url, kUser, kPassword);
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& doc : docs)
        poster.post(doc, "bare", 200);
    return timer.nsecsElapsed();
}

// Distinct connections that carried the journal's requests to this path.
int connections(const QString& journalPath, const QString& path) {
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    QSet<int> ids;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("path").toString() == path) ids.insert(o.value("connection").toInt());
    }
    return int(ids.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int posts = 1000;
    int rounds = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--posts") posts = args[i + 1].toInt();
        if (args[i] == "--rounds") rounds = args[i + 1].toInt();
    }

    QTemporaryDir folder;
    const QString journal = folder.filePath("journal.jsonl");
    QProcess service;
    const QString base = bench::startFakeService(service, journal, kUser, kPassword);
    if (base.isEmpty()) {
        std::fprintf(stderr, "fake-korvanta did not start\n");
        return 1;
    }

    std::vector<QByteArray> docs;
    for (int i = 0; i < posts; ++i) docs.push_back(document(100000 + i));
    std::printf("%d POSTs of %lld bytes to %s, %d rounds\n", posts, static_cast<long long>(docs[0].size()),
                qPrintable(base), rounds);

    // Warm-up: connections, caches and the service's threads.
    const std::vector<QByteArray> warm(docs.begin(), docs.begin() + std::min(posts, 20));
    (void)frameLoop(base + api::pathMovimientos("1", "1", "90"), warm);
    (void)bareLoop(base + api::pathMovimientos("1", "1", "91"), warm);

    std::vector<double> frameMs, bareMs;
    for (int r = 0; r < rounds; ++r) {
        const QString frameUrl = base + api::pathMovimientos("1", "1", QString::number(10 + r));
        const QString bareUrl = base + api::pathMovimientos("1", "1", QString::number(50 + r));
        frameMs.push_back(frameLoop(frameUrl, docs) / 1e6);
        bareMs.push_back(bareLoop(bareUrl, docs) / 1e6);
        const int frameConnections = connections(journal, "/" + api::pathMovimientos("1", "1", QString::number(10 + r)));
        const int bareConnections = connections(journal, "/" + api::pathMovimientos("1", "1", QString::number(50 + r)));
        std::printf("round %d: frame %.1f ms (%.1f us/post, %d connection(s)), bare libcurl %.1f ms (%.1f us/post, "
                    "%d connection(s)), ratio %.3f\n",
                    r + 1, frameMs.back(), frameMs.back() * 1000 / posts, frameConnections, bareMs.back(),
                    bareMs.back() * 1000 / posts, bareConnections, frameMs.back() / bareMs.back());
    }
    std::sort(frameMs.begin(), frameMs.end());
    std::sort(bareMs.begin(), bareMs.end());
    const double frame = frameMs[frameMs.size() / 2];
    const double bare = bareMs[bareMs.size() / 2];
    std::printf("median: frame %.1f ms, bare libcurl %.1f ms, ratio %.3f (goal <= 1.2)\n", frame, bare, frame / bare);
    std::printf("RESULT post_throughput posts=%d rounds=%d bytes=%lld frame_ms=%.1f bare_ms=%.1f frame_us=%.1f "
                "bare_us=%.1f ratio=%.3f\n",
                posts, rounds, static_cast<long long>(docs[0].size()), frame, bare, frame * 1000 / posts,
                bare * 1000 / posts, frame / bare);

    service.terminate();
    service.waitForFinished(10'000);
    return 0;
}
