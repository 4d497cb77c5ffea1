#include "SalesFixture.h"

#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/MemTable.h"
#include "support/Platform.h"
#include "support/fixtures/CoreApplication.h"
#include "support/fixtures/CoreOnService.h"
#include "support/fixtures/ErpRows.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString dataSql(const QDate& d) {
    return QStringLiteral("DATE '%1'").arg(d.toString(Qt::ISODate));
}

} // namespace

void SalesTest::SetUp() {
    ensureCoreApplication();
    setAppClock(&clock);
    platform::setBaseDir(pasta.path());
    db = std::make_unique<ErpDatabase>(ErpDatabase::Content::Schema);
    erprows::goods(*db);
    FakeService::Options opcoes;
    opcoes.user = kUsuario;
    opcoes.password = kSenha;
    service = std::make_unique<FakeService>(opcoes);

    core = std::make_unique<TPrincipal>();
    core->config().LoadConfig(); // no file: the defaults
    pointCoreAt(*core, *service, *db, pasta.path(), kUsuario, kSenha);
    core->commands().setDay(kDia);
    QObject::connect(&core->log(), &TActivityLog::rowAdded, core.get(), [this] {
        const TMemTable* t = &core->log().table();
        if (t->RecordCount() == 0) return;
        linhasDoLog.append(
            {t->cell(t->RecordCount() - 1, 0).toString(), t->cell(t->RecordCount() - 1, 3).toString()});
    });
}

void SalesTest::TearDown() {
    core.reset();
    service.reset();
    db.reset();
    platform::setBaseDir(QString());
    setAppClock(nullptr);
}

QString SalesTest::sql(const QString& texto) {
    return erprows::sqlText(texto);
}

void SalesTest::cupom(int nro, int cx, const QDate& dia, int flag) const {
    db->exec(QStringLiteral(
                 "INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, "
                 "vlr_des, sub_tot, vlr_pag, vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, "
                 "cod_emp) VALUES (%1, %2, %3, 0, 47.60, 0, 0, 45.60, 45.60, 0, 'V', 'DINHEIRO', '', "
                 "TIME '15:12:00', %4, 1)")
                 .arg(nro)
                 .arg(cx)
                 .arg(dataSql(dia))
                 .arg(flag));
    db->exec(QStringLiteral(
                 "INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, "
                 "sub_tot, qtd_ven, vlr_uni_o, vlr_des_i_korv) VALUES (%1, %2, %3, 1, 1002, 11.90, 45.60, "
                 "4, 11.90, 2.00)")
                 .arg(nro)
                 .arg(cx)
                 .arg(dataSql(dia)));
}

void SalesTest::cupons(int first, int count, int cx, const QDate& dia) const {
    erprows::tickets(*db, first, count, cx, dia);
}

QString SalesTest::textoCancelado() {
    return QStringLiteral("2020-06-10T15:12:00.000-0300\r\nCOO 2935\r\nPDV 1\r\n"
                          "1002^7891000010860^CAFE SOLUVEL 50G^4^11.90^45.60^2.00\r\n"
                          "FIMITENS\r\nsem uso\r\n0^0^45.60^^DINHEIRO");
}

void SalesTest::cancelamento(int nro, int cx, const QDate& dia, int flag, const QString& memo) const {
    db->exec(QStringLiteral("INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, "
                            "sinc_korv, sub_tot) VALUES (%1, %2, %3, 1, %4, %5, 45.60)")
                 .arg(nro)
                 .arg(cx)
                 .arg(dataSql(dia), sql(memo))
                 .arg(flag));
}

void SalesTest::formasPgto(int nro, int cx, const QDate& dia, const QString& texto) const {
    db->exec(QStringLiteral("INSERT INTO KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, "
                            "sinc_korv, sub_tot) VALUES (%1, %2, %3, 1, %4, 99, 0)")
                 .arg(nro)
                 .arg(cx)
                 .arg(dataSql(dia), sql(texto)));
}

int SalesTest::flagCupom(int nro, int cx) const {
    return db->integer(
        QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=%1 and nro_cx=%2")
            .arg(nro)
            .arg(cx));
}

int SalesTest::flagCancelamento(int nro, int cx) const {
    return db->integer(
        QStringLiteral("select sinc_korv from KORVANTA_DELETE where nro_cupom=%1 and nro_cx=%2 "
                       "and sinc_korv <> 99")
            .arg(nro)
            .arg(cx));
}

QList<JournalRecord> SalesTest::posts(const QString& endpoint) const {
    QList<JournalRecord> out;
    for (const JournalRecord& r : service->journal())
        if (r.endpoint == endpoint) out << r;
    return out;
}

QStringList SalesTest::numerosPostados() const {
    QStringList out;
    for (const JournalRecord& r : posts())
        out << QJsonDocument::fromJson(r.body).object().value(QStringLiteral("numero")).toString();
    return out;
}

bool SalesTest::temLog(const QString& operacao, const QString& mensagem) const {
    for (const Linha& l : linhasDoLog)
        if (l.operacao == operacao.left(40) && l.mensagem.startsWith(mensagem)) return true;
    return false;
}

QString SalesTest::textoDoLog() const {
    QString texto;
    for (const Linha& l : linhasDoLog)
        texto += l.operacao + QStringLiteral(" | ") + l.mensagem + u'\n';
    return texto;
}

QString SalesTest::dataUltFechaGravada() const {
    TConfig gravado(pasta.file(QStringLiteral("configAPI.ini")));
    gravado.LoadConfig();
    return gravado.values().dataUltFecha;
}
