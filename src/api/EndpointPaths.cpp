// The service's endpoint paths, relative to the base URL.
#include "api/RequestFrame.h"

namespace api {

namespace {
QString minoristasLocal(const QString& empresa, const QString& local) {
    return QStringLiteral("api-minoristas/api/v2/minoristas/") + empresa + QStringLiteral("/locales/") + local;
}
} // namespace

QString pathMovimientos(const QString& empresa, const QString& local, const QString& caixa) {
    return minoristasLocal(empresa, local) + QStringLiteral("/cajas/") + caixa + QStringLiteral("/movimientos");
}

QString pathCierresDiarios(const QString& empresa, const QString& local, const QString& caixa) {
    return minoristasLocal(empresa, local) + QStringLiteral("/cajas/") + caixa +
           QStringLiteral("/cierresDiarios");
}

QString pathPromociones(const QString& empresa, const QString& local) {
    return QStringLiteral("pmkt-rest-api/minoristas/") + empresa + QStringLiteral("/locales/") + local +
           QStringLiteral("/promocionesConLimitePorTicket");
}

QString pathSolicitudesMovimientos(const QString& empresa, const QString& local) {
    return minoristasLocal(empresa, local) + QStringLiteral("/solicitudes/movimientos");
}

QString pathSolicitudesCierresDiarios(const QString& empresa, const QString& local) {
    return minoristasLocal(empresa, local) + QStringLiteral("/solicitudes/cierresDiarios");
}

} // namespace api
