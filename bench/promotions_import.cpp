// The promotion import on the ERP database against its floor.
//
//   promotions_import [promotions=2000] [articles=5]
//
// A generated promotions document (PromotionsDocument.h: each promotion with
// `articles` condition and `articles` benefit articles) is served by
// fake-korvanta, fetched with GetPromocoes and imported with
// Trata_leitura_Json twice: the first run inserts every row, the second
// updates every row. The floor (PromotionsFloor.h) does the same writing the
// plainest way on a fresh copy of the same database, twice too: a prepared
// lookup and a prepared INSERT or UPDATE per row, one commit. Goal: each import
// at most 3 times its floor. Everything runs on the embedded engine, then
// again through the Firebird server over TCP ("localhost:/path") when one
// answers (scripts/fbserver start). Prints the times and the ratios, in
// wall-clock time and, on the embedded engine, in the process's CPU time too
// (the engine works in this process; on a busy machine the CPU time is the
// steadier figure). "RESULT promotions_import key=value ..." and
// "RESULT promotions_import_tcp ..." hold the figures for scripts/bench.

#include "api/ServiceFrame.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/MemTable.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Promocoes.h"
#include "sync/Reenvio.h"
#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "BenchSupport.h"
#include "PromotionsDocument.h"
#include "PromotionsFloor.h"
#include "ServerDatabase.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Platform.h"

#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>
#include <stdexcept>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace bench;

void criaBanco(const QString& caminho) {
    TFbDatabase db;
    TFbTransaction tr;
    bench::createSchemaDatabase(db, tr, caminho, false);
    db.Close();
}

// fake-korvanta serving the document from a file, on a free loopback port.
class Servico {
public:
    explicit Servico(const QString& arquivo) {
        m_processo.setProgram(QStringLiteral(KORVANTA_BINARY_DIR "/tools/fake-korvanta/fake-korvanta"));
        m_processo.setArguments({"--port", "0", "--user", "loja", "--password", "s3nha", "--promotions", arquivo});
        m_processo.start();
        if (!m_processo.waitForStarted(10'000)) throw AppError(QStringLiteral("cannot start ") + m_processo.program());
        const QByteArray marca = "listening on http://127.0.0.1:";
        QByteArray saida;
        while (!saida.contains(marca) || !saida.contains('\n')) {
            if (!m_processo.waitForReadyRead(10'000)) throw AppError(QStringLiteral("fake-korvanta did not start"));
            saida += m_processo.readAllStandardOutput();
        }
        const qsizetype at = saida.indexOf(marca) + marca.size();
        m_porta = saida.mid(at, saida.indexOf('/', at) - at).toInt();
    }
    ~Servico() {
        m_processo.terminate();
        if (!m_processo.waitForFinished(5'000)) m_processo.kill();
        m_processo.waitForFinished(5'000);
    }
    [[nodiscard]] QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_porta); }

private:
    QProcess m_processo;
    int m_porta = 0;
};

int conta(const QString& caminho, const char* sql) {
    return bench::firstInteger(caminho, QString::fromLatin1(sql));
}

// Wall-clock and CPU seconds of one piece of work.
struct Medida {
    double parede = 0;
    double cpu = 0;
};

class Cronometro {
public:
    Cronometro() : m_cpu(std::clock()) { m_parede.start(); }
    [[nodiscard]] Medida agora() const {
        return {double(m_parede.nsecsElapsed()) / 1e9, double(std::clock() - m_cpu) / CLOCKS_PER_SEC};
    }

private:
    QElapsedTimer m_parede;
    std::clock_t m_cpu;
};

// ---- The import ---------------------------------------------------------------------

struct Tempos {
    Medida busca;
    Medida importacao;
};

Tempos importa(TPrincipal& core) {
    Tempos t;
    std::optional<QString> documento;
    {
        const Cronometro relogio;
        documento = core.promotions().GetPromocoes();
        t.busca = relogio.agora();
    }
    if (!documento) throw std::runtime_error("the promotions fetch failed");
    const Cronometro relogio;
    core.promotions().Trata_leitura_Json(*documento);
    t.importacao = relogio.agora();
    // The log's last row says what was written.
    const int ultima = core.log().table().RecordCount() - 1;
    std::printf("    log: %s | %s\n", core.log().table().cell(ultima, 0).toString().toLocal8Bit().constData(),
                core.log().table().cell(ultima, 3).toString().toLocal8Bit().constData());
    return t;
}

// The floor's two passes (inserts, then updates) on `banco`, each timed with
// its connection already made.
std::pair<Medida, Medida> piso(const QString& banco, const std::vector<Promocao>& lista, ManualClock& relogio) {
    std::pair<Medida, Medida> medidas;
    for (int passo = 0; passo < 2; ++passo) {
        TdtmApi dtm;
        dtm.setPathBancoDolvex(banco);
        dtm.dtmConectDolvex(true);
        const Cronometro cronometro;
        const int atualizadas = PromotionsFloor(dtm).write(lista, 36005 + passo, relogio.now());
        (passo == 0 ? medidas.first : medidas.second) = cronometro.agora();
        dtm.dtmConectDolvex(false);
        const int esperadas = passo == 0 ? 0 : int(lista.size() * (1 + 2 * lista.front().condicion.size()));
        if (atualizadas != esperadas)
            throw AppError(QStringLiteral("the floor's pass %1 updated %2 rows, not %3").arg(passo + 1).arg(atualizadas).arg(esperadas));
        relogio.advance(60);
    }
    return medidas;
}

// The imports and the floors on copies of `limpo`, attached by the names `nome`
// gives; prints the figures under `rotulo`, with the CPU times when `cpu`.
void compara(const char* rotulo, bool cpu, const QString& limpo, const QString& arquivo, const std::vector<Promocao>& lista,
             ManualClock& relogio, const std::function<QString(const QString&)>& nome) {
    const int promocoes = int(lista.size());
    const int artigos = int(lista.front().condicion.size());
    const QString bancoImportacao = limpo + QStringLiteral(".") + QLatin1String(rotulo) + QStringLiteral(".import.fdb");
    const QString bancoPiso = limpo + QStringLiteral(".") + QLatin1String(rotulo) + QStringLiteral(".floor.fdb");
    if (!QFile::copy(limpo, bancoImportacao) || !QFile::copy(limpo, bancoPiso))
        throw AppError(QStringLiteral("cannot copy ") + limpo);

    Servico servico(arquivo);
    TPrincipal core;
    core.frame().setBaseUrl(servico.url());
    Loja loja = core.store();
    loja.idEmpresa = QStringLiteral("11");
    loja.idLocal = QStringLiteral("22");
    loja.pastaLog = QFileInfo(limpo).absolutePath() + QStringLiteral("/");
    core.setStore(loja);
    core.frame().setCredentials(QStringLiteral("loja"), QStringLiteral("s3nha"));
    core.erp().setPathBancoDolvex(nome(bancoImportacao));
    core.scheduler().gates().abreAmbos();
    core.log().table().Open();

    std::printf("%s: %d promotions x (%d condition + %d benefit articles)\n", rotulo, promocoes, artigos, artigos);
    std::printf("  import 1 (inserts):\n");
    const Tempos primeira = importa(core);
    relogio.advance(60);
    std::printf("  import 2 (updates):\n");
    const Tempos segunda = importa(core);
    const int linhasPromo = conta(nome(bancoImportacao), "select count(*) from Korvanta_promo where atv_prom='T'");
    const int linhasItem = conta(nome(bancoImportacao), "select count(*) from Korvanta_item");
    if (linhasPromo != promocoes || linhasItem != promocoes * artigos * 2)
        throw AppError(QStringLiteral("the import left %1 active promotions and %2 items").arg(linhasPromo).arg(linhasItem));

    const auto [piso1, piso2] = piso(nome(bancoPiso), lista, relogio);
    if (conta(nome(bancoPiso), "select count(*) from Korvanta_item") != promocoes * artigos * 2 ||
        conta(nome(bancoPiso), "select count(*) from Korvanta_promo where atv_prom='T'") != promocoes)
        throw AppError(QStringLiteral("the floor did not write every row"));

    const auto linha = [cpu](const char* nomeLinha, const Medida& m) {
        if (cpu)
            std::printf("  %-44s %8.3f s wall %8.3f s CPU\n", nomeLinha, m.parede, m.cpu);
        else
            std::printf("  %-44s %8.3f s wall\n", nomeLinha, m.parede);
    };
    linha("fetch 1 (GetPromocoes)", primeira.busca);
    linha("fetch 2 (GetPromocoes)", segunda.busca);
    linha("import 1, inserts (Trata_leitura_Json)", primeira.importacao);
    linha("import 2, updates (Trata_leitura_Json)", segunda.importacao);
    linha("floor 1, lookups + prepared INSERTs", piso1);
    linha("floor 2, lookups + prepared UPDATEs", piso2);
    const double r1 = primeira.importacao.parede / piso1.parede, r2 = segunda.importacao.parede / piso2.parede;
    std::printf("  ratio inserts %.2f, updates %.2f (goal <= 3 each)\n", r1, r2);
    std::printf("RESULT %s promotions=%d articles=%d import1_s=%.3f import2_s=%.3f floor1_s=%.3f floor2_s=%.3f "
                "ratio_inserts=%.3f ratio_updates=%.3f",
                rotulo, promocoes, artigos, primeira.importacao.parede, segunda.importacao.parede, piso1.parede,
                piso2.parede, r1, r2);
    if (cpu)
        std::printf(" import1_cpu_s=%.3f import2_cpu_s=%.3f floor1_cpu_s=%.3f floor2_cpu_s=%.3f ratio_inserts_cpu=%.3f "
                    "ratio_updates_cpu=%.3f",
                    primeira.importacao.cpu, segunda.importacao.cpu, piso1.cpu, piso2.cpu,
                    primeira.importacao.cpu / piso1.cpu, segunda.importacao.cpu / piso2.cpu);
    std::printf("\n");
}

void executa(int promocoes, int artigos) {
    QTemporaryDir pasta;
    platform::setBaseDir(pasta.path());
    ManualClock relogio(QDateTime(QDate(2026, 6, 15), QTime(10, 0, 5)));
    setAppClock(&relogio);

    const std::vector<Promocao> lista = gera(promocoes, artigos);
    const QByteArray doc = documento(lista).toUtf8();
    const QString arquivo = pasta.filePath(QStringLiteral("promociones.json"));
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly) || f.write(doc) != doc.size()) throw AppError(QStringLiteral("cannot write ") + arquivo);
    }
    std::printf("document: %.1f MB\n", doc.size() / 1e6);
    const QString limpo = pasta.filePath(QStringLiteral("limpo.fdb"));
    criaBanco(limpo);
    compara("promotions_import", true, limpo, arquivo, lista, relogio, [](const QString& f) { return f; });
    if (serverName("promotions_import", limpo))
        compara("promotions_import_tcp", false, limpo, arquivo, lista, relogio, [](const QString& f) {
            openToServer(f);
            return QStringLiteral("localhost:") + f;
        });
    setAppClock(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int promocoes = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int artigos = argc > 2 ? std::atoi(argv[2]) : 5;
    if (promocoes <= 0 || artigos <= 0) {
        std::fprintf(stderr, "usage: promotions_import [promotions=2000] [articles=5]\n");
        return 2;
    }
    try {
        executa(promocoes, artigos);
    } catch (const AppError& e) {
        std::fprintf(stderr, "promotions_import: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const Firebird::FbException& e) {
        std::fprintf(stderr, "promotions_import: %s\n", fbMessage(e).toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
