#include "PromoReenvioFixture.h"

#include "erp/uDtmApi.h"
#include "support/MemTable.h"
#include "support/Platform.h"
#include "support/fixtures/CoreApplication.h"
#include "support/fixtures/CoreOnService.h"

#include <QCoreApplication>
#include <QFile>

#include <stdexcept>

namespace {

void grava(const QString& caminho, const QByteArray& corpo) {
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly) || f.write(corpo) != corpo.size())
        throw std::runtime_error("cannot write " + caminho.toStdString());
}

} // namespace

void PromoReenvioTest::SetUp() {
    ensureCoreApplication();
    setAppClock(&clock);
    platform::setBaseDir(pasta.path());
    db = std::make_unique<ErpDatabase>(conteudo());
    FakeService::Options opcoes;
    opcoes.user = kUsuario;
    opcoes.password = kSenha;
    opcoes.promotionsFile = servidos.file(QStringLiteral("promociones.json"));
    opcoes.resendMovementsFile = servidos.file(QStringLiteral("movimientos.json"));
    opcoes.resendClosingsFile = servidos.file(QStringLiteral("cierres.json"));
    publicaPromocoes(R"({"total":0,"promociones":[]})");
    publicaReenvioMovimentos("[]");
    publicaReenvioFechamentos("[]");
    service = std::make_unique<FakeService>(opcoes);

    core = std::make_unique<TPrincipal>();
    pointCoreAt(*core, *service, *db, pasta.path(), kUsuario, kSenha);
    changeStore(*core, [&](Loja& l) { l.buscaPromocoes = true; });
}

void PromoReenvioTest::TearDown() {
    core.reset();
    service.reset();
    db.reset();
    platform::setBaseDir(QString());
    setAppClock(nullptr);
}

void PromoReenvioTest::publicaPromocoes(const QByteArray& corpo) const {
    grava(servidos.file(QStringLiteral("promociones.json")), corpo);
}

void PromoReenvioTest::publicaReenvioMovimentos(const QByteArray& corpo) const {
    grava(servidos.file(QStringLiteral("movimientos.json")), corpo);
}

void PromoReenvioTest::publicaReenvioFechamentos(const QByteArray& corpo) const {
    grava(servidos.file(QStringLiteral("cierres.json")), corpo);
}

QList<QStringList> PromoReenvioTest::log() const {
    QList<QStringList> linhas;
    for (int i = 0; i < core->log().table().RecordCount(); ++i)
        linhas.append({core->log().table().cell(i, 0).toString(), core->log().table().cell(i, 3).toString()});
    return linhas;
}

bool PromoReenvioTest::temLog(const QString& operacao, const QString& mensagem) const {
    for (const QStringList& linha : log())
        if (linha.at(0) == operacao && linha.at(1).startsWith(mensagem)) return true;
    return false;
}

QString PromoReenvioTest::textoDoLog() const {
    QString texto;
    for (const QStringList& linha : log()) texto += linha.join(QStringLiteral(" | ")) + QLatin1Char('\n');
    return texto;
}
