#pragma once
// Shared pieces of the request-frame tests that talk to fake-korvanta.

#include "api/RequestFrame.h"
#include "support/fixtures/FakeService.h"

#include <QByteArray>
#include <QString>

namespace apitest {

inline const QString kUser = QStringLiteral("loja");
inline const QString kPassword = QStringLiteral("s3nha");

// A valid sale movement, lines ended by CR LF as the program writes them.
inline QByteArray movementDocument(const QString& numero = QStringLiteral("2935")) {
    const QString text = QStringLiteral(
        "{\r\n\"fecha\":\"2020-06-10T15:12:00.000-0300\",\r\n\"numero\":\"%1\",\r\n\"detalles\":[\r\n{\r\n"
        "\"codigoArticulo\":\"1002\",\r\n\"codigoBarras\":\"7891000010860\",\r\n"
        "\"descripcionArticulo\":\"CAFÉ SOLÚVEL 50G\",\r\n\"cantidad\":4,\r\n\"importeUnitario\":11.90,\r\n"
        "\"importe\":45.60,\r\n\"descuento\":2.00,\r\n\"recargo\":0.00\r\n}\r\n],\r\n"
        "\"descuentoTotal\":2.00,\r\n\"recargoTotal\":0.00,\r\n\"codigoMoneda\":\"986\",\r\n"
        "\"cotizacion\":1.00,\r\n\"total\":45.60,\r\n\"documentoCliente\":null,\r\n\"cancelacion\":false,\r\n"
        "\"pagos\":[\r\n{\r\n\"codigoTipoPago\":9,\r\n\"codigoMoneda\":\"986\",\r\n\"importe\":45.60,\r\n"
        "\"cotizacion\":1.00,\r\n\"documentoCliente\":null,\r\n\"bin\":null,\r\n"
        "\"ultimosDigitosTarjeta\":null,\r\n\"numeroAutorizacion\":null,\r\n\"codigoTarjeta\":null\r\n}\r\n"
        "]\r\n}\r\n");
    return text.arg(numero).toUtf8();
}

// The service with the test credentials, and the URLs of one store.
struct Loopback {
    FakeService service{FakeService::Options{.user = kUser, .password = kPassword}};

    [[nodiscard]] QString movimientos(const QString& caixa = QStringLiteral("1")) const {
        return service.baseUrl() + api::pathMovimientos("12", "7", caixa);
    }
    [[nodiscard]] QString promociones() const { return service.baseUrl() + api::pathPromociones("12", "7"); }
    [[nodiscard]] static std::unique_ptr<THttpClient> postClient() {
        return api::config_ftp_json(kUser, kPassword, api::kVersao, api::kVersao);
    }
};

} // namespace apitest
