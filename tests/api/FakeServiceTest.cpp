// fake-korvanta itself: the document checks and the behaviour other tests rely on.
#include "ApiTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace apitest;

namespace {

const QByteArray kClosing = "{\r\n\"montoVentaLiquida\":100.00,\r\n\"cantidadMovimientos\":4,\r\n"
                            "\"montoCancelaciones\":25.00,\r\n\"cantidadCancelaciones\":1,\r\n"
                            "\"fechaVentas\":\"2020-06-10\"\r\n}\r\n";

QByteArray replaced(QByteArray doc, const QByteArray& from, const QByteArray& to) {
    EXPECT_TRUE(doc.contains(from)) << from.toStdString();
    return doc.replace(from, to);
}

// The status the service answers to a POST of body, and its reason in the journal.
std::pair<int, QString> postStatus(FakeService& service, const QString& url, const QByteArray& body) {
    try {
        (void)Loopback::postClient()->post(url, body);
    } catch (const EHttpProtocol&) {
    }
    const JournalRecord last = service.journal().constLast();
    return {last.status, last.reason};
}

} // namespace

TEST(FakeKorvanta, ChecksMovementDocumentsStrictly) {
    Loopback lb;
    const QByteArray doc = movementDocument();
    struct Case {
        QByteArray body;
        int status;
        const char* reason; // start of the reason
    };
    const Case cases[] = {
        {replaced(doc, "\"total\":45.60", "\"total\":\"45.60\""), 400, "member \"total\" must be a number"},
        {replaced(doc, "\"cantidad\":4", "\"cantidad\":null"), 400, "member \"detalles[0].cantidad\" must be"},
        {replaced(doc, "\"codigoTipoPago\":9", "\"codigoTipoPago\":9.5"), 400, "member \"pagos[0].codigoTipoPago\""},
        {replaced(doc, "\"cancelacion\":false", "\"cancelacion\":\"false\""), 400, "member \"cancelacion\""},
        {replaced(doc, "\"recargoTotal\":0.00,", ""), 400, "member \"recargoTotal\" is missing"},
        {replaced(doc, "\"cotizacion\":1.00,\r\n\"total\"", "\"cotizacion\":1.00,\r\n\"extra\":1,\r\n\"total\""), 400,
         "unknown member \"extra\""},
        {replaced(doc, "\"total\":45.60,", "\"total\":45.60,\"total\":45.60,"), 400, "member \"total\" appears twice"},
        {replaced(doc, "CAF\xC3\x89", "CAF\"E"), 400, "not valid JSON"},   // an unescaped quote
        {replaced(doc, "\"importe\":45.60,\r\n\"descuento\"", "\"importe\":45,60,\r\n\"descuento\""), 400,
         "not valid JSON"}, // a decimal comma
        {doc + "x", 400, "not valid JSON"},
        {replaced(doc, "\"fecha\":\"2020-06-10T15:12:00.000-0300\"", "\"fecha\":\"10/06/2020\""), 400,
         "member \"fecha\""},
        {replaced(doc, "\"cancelacion\":false", "\"cancelacion\":true"), 400, "member \"cancelacion\" must be true"},
        {replaced(doc, "\"numero\":\"2935\"", "\"numero\":\"-2935\""), 400, "member \"cancelacion\" must be true"},
        {replaced(replaced(doc, "\"numero\":\"2935\"", "\"numero\":\"-2935\""), "\"cancelacion\":false",
                  "\"cancelacion\":true"),
         200, ""},
        {replaced(doc, "\"documentoCliente\":null", "\"documentoCliente\":\"123.456.789-00\""), 200, ""},
        {doc, 208, "movement already accepted"}, // same register, "numero" and "fecha"
    };
    for (const auto& c : cases) {
        const auto [status, reason] = postStatus(lb.service, lb.movimientos(), c.body);
        EXPECT_EQ(status, c.status) << reason.toStdString();
        EXPECT_TRUE(reason.startsWith(QString::fromUtf8(c.reason))) << reason.toStdString();
    }
    // The same ticket on another register is another movement.
    EXPECT_EQ(postStatus(lb.service, lb.movimientos("2"), doc).first, 200);
}

TEST(FakeKorvanta, ChecksClosingDocumentsStrictly) {
    Loopback lb;
    const QString url = lb.service.baseUrl() + api::pathCierresDiarios("12", "7", "1");
    struct Case {
        QByteArray body;
        int status;
    };
    const Case cases[] = {
        {kClosing, 200},
        {kClosing, 200}, // a closing may be sent again
        {replaced(kClosing, "\"cantidadMovimientos\":4", "\"cantidadMovimientos\":4.5"), 400},
        {replaced(kClosing, "\"fechaVentas\":\"2020-06-10\"", "\"fechaVentas\":\"2020-13-10\""), 400},
        {replaced(kClosing, "\"montoCancelaciones\":25.00", "\"montoCancelaciones\":25,00"), 400},
        {replaced(kClosing, "\"montoVentaLiquida\":100.00", "\"montoVentaLiquida\":-12.30"), 200},
        {"[]", 400},
    };
    for (const auto& c : cases) EXPECT_EQ(postStatus(lb.service, url, c.body).first, c.status) << c.body.data();

    auto client = Loopback::postClient();
    client->setContentType("text/plain");
    EXPECT_THROW((void)client->post(url, kClosing), EHttpProtocol);
    EXPECT_EQ(client->lastStatusCode(), 415);
}

TEST(FakeKorvanta, ServesFilesQueuesFromTheCommandLineAndResets) {
    TempFolder folder;
    QFile promotions(folder.file("promo.json"));
    ASSERT_TRUE(promotions.open(QIODevice::WriteOnly));
    promotions.write(R"({"total":1,"promociones":[{"id":7}]})");
    promotions.close();
    FakeService service({.user = kUser,
                         .password = kPassword,
                         .promotionsFile = promotions.fileName(),
                         .extraArguments = {"--queue", "promociones=503"}});
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    const QString promoUrl = service.baseUrl() + api::pathPromociones("1", "2");
    const QString resendUrl = service.baseUrl() + api::pathSolicitudesCierresDiarios("1", "2");

    EXPECT_THROW((void)get->get(promoUrl), EHttpProtocol);
    EXPECT_EQ(get->lastStatusLine(), "HTTP/1.1 503 Service Unavailable");
    EXPECT_EQ(get->get(promoUrl).text, R"({"total":1,"promociones":[{"id":7}]})");
    EXPECT_EQ(get->get(resendUrl).text, "[]");

    service.serve("solicitudesCierresDiarios", R"([{"fecha":"2023-03-15","codigoCaja":"2"}])");
    service.serve("promociones", "{}");
    EXPECT_EQ(get->get(resendUrl).text, R"([{"fecha":"2023-03-15","codigoCaja":"2"}])");
    service.reset(); // back to the files, and the start queue again
    EXPECT_THROW((void)get->get(promoUrl), EHttpProtocol);
    EXPECT_EQ(get->get(promoUrl).text, R"({"total":1,"promociones":[{"id":7}]})");
    EXPECT_EQ(get->get(resendUrl).text, "[]");
    EXPECT_EQ(service.journal().size(), 7);
}

// Tests poll the journal while the service writes it, and a line longer than
// the writer's buffer reaches the file in pieces.
TEST(FakeKorvanta, AJournalLineBeingWrittenIsLeftForALaterReading) {
    FakeService service({.user = kUser, .password = kPassword});
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    (void)get->get(service.baseUrl() + api::pathPromociones("1", "2"));
    QFile file(service.journalPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray line = file.readAll();
    file.close();
    ASSERT_TRUE(line.endsWith('\n'));

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(line.left(line.size() / 2));
    file.flush();
    EXPECT_EQ(service.journal().size(), 1);
    file.write(line.mid(line.size() / 2));
    file.flush();
    EXPECT_EQ(service.journal().size(), 2);
}

TEST(FakeKorvanta, ServedBodiesAndDeliveryApplyToEveryEndpoint) {
    Loopback lb;
    // A POST endpoint keeps the status of its check and of its queue.
    lb.service.serve("movimientos", "served", "text/plain");
    const HttpReply accepted = Loopback::postClient()->post(lb.movimientos(), movementDocument());
    EXPECT_EQ(accepted.statusCode, 200);
    EXPECT_EQ(accepted.body, "served");
    EXPECT_EQ(accepted.contentType, "text/plain");
    lb.service.queue("movimientos", {201});
    EXPECT_EQ(Loopback::postClient()->post(lb.movimientos(), movementDocument()).body, "served");
    EXPECT_EQ(postStatus(lb.service, lb.movimientos(), "{}").first, 400);

    // Delivered a byte at a time, the body arrives whole; cut short, the journal says so.
    lb.service.setDelivery("movimientos", {.trickleMs = 5});
    EXPECT_EQ(Loopback::postClient()->post(lb.movimientos(), movementDocument()).body, "served");
    lb.service.setDelivery("movimientos", {.trickleMs = 5, .truncateAt = 2});
    EXPECT_THROW((void)Loopback::postClient()->post(lb.movimientos(), movementDocument()), EHttpTransport);
    const QList<JournalRecord> journal = lb.service.journal();
    EXPECT_EQ(journal.at(journal.size() - 2).reason, "movement already accepted; body trickled one byte every 5 ms");
    EXPECT_EQ(journal.constLast().reason,
              "movement already accepted; body trickled one byte every 5 ms, body cut after 2 of 6 bytes");

    EXPECT_THROW(lb.service.setDelivery("nowhere", {}), std::runtime_error);
    lb.service.reset();
    EXPECT_EQ(Loopback::postClient()->post(lb.movimientos(), movementDocument()).text,
              R"({"mensaje":"movimiento registrado","numero":"2935"})");
}
