#include "PromoReenvioFixture.h"

#include "erp/uDtmApi.h"
#include "support/MemTable.h"
#include "support/Platform.h"

#include <QCoreApplication>
#include <QFile>

#include <stdexcept>

namespace {

// The core's tasks let waiting events run (the sales upload) and its timers
// need an application object; one serves the whole test program.
void garanteAplicacao() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char nome[] = "test_sync";
    static char* argv[] = {nome, nullptr};
    new QCoreApplication(argc, argv); // lives until the program ends
}

void grava(const QString& caminho, const QByteArray& corpo) {
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly) || f.write(corpo) != corpo.size())
        throw std::runtime_error("cannot write " + caminho.toStdString());
}

} // namespace

void PromoReenvioTest::SetUp() {
    garanteAplicacao();
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
    core->URL_BASE = service->baseUrl();
    core->edtidEmpresa = QStringLiteral("11");
    core->edtidLocal = QStringLiteral("22");
    core->edtUsuario = kUsuario;
    core->edtSenha = kSenha;
    core->dtmApi->pathBancoDolvex = db->path();
    core->patLogErro = pasta.path() + QStringLiteral("/");
    core->chkgetPromo = true;
    core->chkpostVendas = true;
    core->podeGetPromo = 1;
    core->podePostVenda = 1;
    // The daily closing that a sales upload may start at its end is not due.
    core->uPostFecha = clockSeconds() + 1'000'000'000;
    core->tblList->Open();
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
    for (int i = 0; i < core->tblList->RecordCount(); ++i)
        linhas.append({core->tblList->cell(i, 0).toString(), core->tblList->cell(i, 3).toString()});
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
