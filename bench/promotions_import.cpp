// The promotion import on the embedded ERP database against its floor.
//
//   promotions_import [promotions=2000] [articles=5]
//
// A generated promotions document (each promotion with `articles` condition
// and `articles` benefit articles) is served by fake-korvanta, fetched with
// GetPromocoes and imported with Trata_leitura_Json twice: the first run
// inserts every row, the second updates every row. The floor writes the same
// rows into a fresh copy of the same database with two prepared parameterised
// INSERTs and one commit. Prints the three times and the ratios, in wall-clock
// time and in the process's CPU time (the embedded engine works in this
// process; on a busy machine the CPU time is the steadier figure). The last
// line, "RESULT promotions_import key=value ...", holds the figures for
// scripts/bench.

#include "app/uPrincipal.h"
#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/uDtmApi.h"
#include "BenchSupport.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/MemTable.h"
#include "support/Platform.h"

#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {

struct Artigo {
    QString nombre;
    QString codigo;
};

struct Promocao {
    qint64 id = 0;
    QString titulo;
    QString descripcion;
    QString tipoJson;  // "Precio_fijo" ...
    QString tipoProm;  // "preco_fixo" ...
    QDateTime desde;
    QDateTime hasta;
    int limite = 0;
    double precio = 0;
    double descuento = 0;
    double paga = 0;
    double cantidadCondicion = 0;
    double cantidadBeneficio = 0;
    std::vector<Artigo> condicion;
    std::vector<Artigo> beneficio;
};

const char* const kTipos[][2] = {{"Descuento_Fijo", "desconto_fixo"},
                                 {"Precio_fijo", "preco_fixo"},
                                 {"Lleva_paga", "leva_paga"},
                                 {"Adicional_descuento", "adicional_desconto"},
                                 {"Adicional_regalo", "adicional_regalo"},
                                 {"Descuento_Variable", "desconto_variavel"}};

std::vector<Promocao> gera(int promocoes, int artigos) {
    std::vector<Promocao> lista;
    lista.reserve(static_cast<std::size_t>(promocoes));
    for (int i = 0; i < promocoes; ++i) {
        Promocao p;
        p.id = 100000 + i;
        p.titulo = QStringLiteral("Leve %1, pague %2 - promoção nº %3").arg(i % 5 + 2).arg(i % 5 + 1).arg(i);
        p.descripcion = QStringLiteral("Descrição da promoção %1 para os artigos da loja").arg(i);
        p.tipoJson = QString::fromLatin1(kTipos[i % 6][0]);
        p.tipoProm = QString::fromLatin1(kTipos[i % 6][1]);
        p.desde = QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0));
        p.hasta = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
        p.limite = i % 4;
        p.precio = 10 + i % 90;
        p.descuento = (i % 20) * 0.5;
        p.paga = i % 3;
        p.cantidadCondicion = 1 + i % 4;
        p.cantidadBeneficio = 1 + i % 2;
        for (int a = 0; a < artigos; ++a) {
            p.condicion.push_back({QStringLiteral("ARTIGO CONDICAO %1-%2").arg(i).arg(a),
                                   QStringLiteral("789%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(a, 2, 10, QLatin1Char('0'))});
            p.beneficio.push_back({QStringLiteral("ARTIGO BENEFICIO %1-%2").arg(i).arg(a),
                                   QStringLiteral("780%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(a, 2, 10, QLatin1Char('0'))});
        }
        lista.push_back(std::move(p));
    }
    return lista;
}

QString grupoJson(double cantidad, const std::vector<Artigo>& artigos) {
    QString s = QStringLiteral(R"({"grupos":[{"cantidad":%1,"articulos":[)").arg(cantidad);
    for (std::size_t a = 0; a < artigos.size(); ++a) {
        if (a) s += u',';
        s += QStringLiteral(R"({"nombre":"%1","codigoBarras":"%2"})").arg(artigos[a].nombre, artigos[a].codigo);
    }
    return s + QStringLiteral("]}]}");
}

QString documento(const std::vector<Promocao>& lista) {
    QString s = QStringLiteral(R"({"total":%1,"promociones":[)").arg(lista.size());
    for (std::size_t i = 0; i < lista.size(); ++i) {
        const Promocao& p = lista[i];
        if (i) s += u',';
        s += QStringLiteral(R"({"id":%1,"titulo":"%2","descripcion":"%3","tipo":"%4","autor":{"nombre":"Compras"},)"
                            R"("vigenciaDesde":"%5","vigenciaHasta":"%6","limitePromocionesPorTicket":%7,)")
                 .arg(QString::number(p.id), p.titulo, p.descripcion, p.tipoJson,
                      p.desde.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000-03:00")),
                      p.hasta.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000-03:00")), QString::number(p.limite));
        s += QStringLiteral(R"("detalles":{"condiciones":%1,"beneficios":%2,"precio":%3,"descuento":%4,"paga":%5}})")
                 .arg(grupoJson(p.cantidadCondicion, p.condicion), grupoJson(p.cantidadBeneficio, p.beneficio),
                      QString::number(p.precio), QString::number(p.descuento), QString::number(p.paga));
    }
    return s + QStringLiteral("]}");
}

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
    TdtmApi dtm;
    dtm.pathBancoDolvex = caminho;
    dtm.dtmConectDolvex(true);
    dtm.qrySelect1.SQL = QStringList{QString::fromLatin1(sql)};
    dtm.qrySelect1.Open();
    const int n = dtm.qrySelect1.Fields(0).AsInteger();
    dtm.dtmConectDolvex(false);
    return n;
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

// ---- The floor: prepared parameterised INSERTs in one transaction ----------------

// A message for a statement's own input metadata, filled field by field.
class Mensagem {
public:
    Mensagem(Firebird::IStatement* stmt, Firebird::ThrowStatusWrapper* status) : m_status(status) {
        m_meta = stmt->getInputMetadata(status);
        m_buffer.assign(m_meta->getMessageLength(status), 0);
    }
    ~Mensagem() { m_meta->release(); }
    Mensagem(const Mensagem&) = delete;
    Mensagem& operator=(const Mensagem&) = delete;

    [[nodiscard]] Firebird::IMessageMetadata* meta() const { return m_meta; }
    [[nodiscard]] unsigned char* data() { return m_buffer.data(); }

    void texto(unsigned i, const QString& valor) {
        naoNulo(i);
        const QByteArray bytes = ansi::fromUnicode(valor);
        const unsigned tamanho = m_meta->getLength(m_status, i);
        unsigned char* p = at(i);
        if (m_meta->getType(m_status, i) == SQL_TEXT) {
            std::memset(p, ' ', tamanho);
            std::memcpy(p, bytes.constData(), std::min<std::size_t>(bytes.size(), tamanho));
        } else {
            const auto n = static_cast<unsigned short>(std::min<std::size_t>(bytes.size(), tamanho));
            std::memcpy(p, &n, sizeof n);
            std::memcpy(p + sizeof n, bytes.constData(), n);
        }
    }
    void numero(unsigned i, double valor) {
        naoNulo(i);
        const int escala = m_meta->getScale(m_status, i);
        double fator = 1;
        for (int k = 0; k < -escala; ++k) fator *= 10;
        switch (m_meta->getType(m_status, i)) {
        case SQL_INT64: *reinterpret_cast<ISC_INT64*>(at(i)) = static_cast<ISC_INT64>(std::llround(valor * fator)); break;
        case SQL_LONG: *reinterpret_cast<ISC_LONG*>(at(i)) = static_cast<ISC_LONG>(std::lround(valor * fator)); break;
        default: throw AppError(QStringLiteral("parameter %1: unexpected type").arg(i));
        }
    }
    void instante(unsigned i, const QDateTime& valor) {
        naoNulo(i);
        auto* ts = reinterpret_cast<ISC_TIMESTAMP*>(at(i));
        ts->timestamp_date = static_cast<ISC_DATE>(valor.date().toJulianDay() - 2400001);
        ts->timestamp_time = static_cast<ISC_TIME>(valor.time().msecsSinceStartOfDay() * 10);
    }

private:
    unsigned char* at(unsigned i) { return m_buffer.data() + m_meta->getOffset(m_status, i); }
    void naoNulo(unsigned i) { *reinterpret_cast<short*>(m_buffer.data() + m_meta->getNullOffset(m_status, i)) = 0; }

    Firebird::ThrowStatusWrapper* m_status;
    Firebird::IMessageMetadata* m_meta = nullptr;
    std::vector<unsigned char> m_buffer;
};

Medida piso(const QString& caminho, const std::vector<Promocao>& lista, int stamp) {
    using namespace Firebird;
    TdtmApi dtm;
    dtm.pathBancoDolvex = caminho;
    dtm.dtmConectDolvex(true);
    ThrowStatusWrapper status(fb_get_master_interface()->getStatus());
    IAttachment* att = dtm.dtbDolvex.attachment();
    ITransaction* tra = dtm.ibtDolvex.handle();

    const Cronometro relogio;
    IStatement* promo = att->prepare(&status, tra, 0,
                                     "insert into Korvanta_promo (id_prom, tit_prom, desc_prom, tipo_prom, vig_in_dh, "
                                     "vig_out_dh, autor_prom, atv_prom, id_sinc, lim_por_ticket) "
                                     "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                     SQL_DIALECT_V6, 0);
    IStatement* item = att->prepare(&status, tra, 0,
                                    "insert into Korvanta_item (id_prom, tipo_item, preco_prom, desc_prom, paga_prom, "
                                    "qtd_prom, nom_pro_prom, cod_bar_prom, cod_red_prom) "
                                    "values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                    SQL_DIALECT_V6, 0);
    {
        Mensagem mp(promo, &status);
        Mensagem mi(item, &status);
        for (const Promocao& p : lista) {
            mp.numero(0, double(p.id));
            mp.texto(1, p.titulo.left(50));
            mp.texto(2, p.descripcion.left(50));
            mp.texto(3, p.tipoProm);
            mp.instante(4, p.desde);
            mp.instante(5, p.hasta);
            mp.texto(6, QStringLiteral("Compras"));
            mp.texto(7, QStringLiteral("T"));
            mp.numero(8, stamp);
            mp.numero(9, p.limite);
            promo->execute(&status, tra, mp.meta(), mp.data(), nullptr, nullptr);
            for (int lado = 0; lado < 2; ++lado) {
                const bool condicao = lado == 0;
                const double cantidad = condicao ? p.cantidadCondicion : p.cantidadBeneficio;
                const double preco = p.tipoProm == QLatin1String("preco_fixo")
                                         ? std::nearbyint(p.precio / cantidad * 100) / 100
                                         : p.precio;
                for (const Artigo& a : condicao ? p.condicion : p.beneficio) {
                    mi.numero(0, double(p.id));
                    mi.texto(1, condicao ? QStringLiteral("condicao") : QStringLiteral("beneficio"));
                    mi.numero(2, preco);
                    mi.numero(3, p.descuento);
                    mi.numero(4, p.paga);
                    mi.numero(5, cantidad);
                    mi.texto(6, a.nombre);
                    mi.texto(7, a.codigo);
                    mi.numero(8, 0);
                    item->execute(&status, tra, mi.meta(), mi.data(), nullptr, nullptr);
                }
            }
        }
    }
    tra->commitRetaining(&status);
    const Medida segundos = relogio.agora();
    promo->free(&status);
    item->free(&status);
    status.dispose();
    dtm.dtmConectDolvex(false);
    return segundos;
}

// ---- The import ---------------------------------------------------------------------

struct Tempos {
    Medida busca;
    Medida importacao;
};

Tempos importa(TPrincipal& core) {
    Tempos t;
    {
        const Cronometro relogio;
        core.GetPromocoes();
        t.busca = relogio.agora();
    }
    const Cronometro relogio;
    core.Trata_leitura_Json();
    t.importacao = relogio.agora();
    // The log's last row says what was written.
    const int ultima = core.tblList->RecordCount() - 1;
    std::printf("    log: %s | %s\n", core.tblList->cell(ultima, 0).toString().toLocal8Bit().constData(),
                core.tblList->cell(ultima, 3).toString().toLocal8Bit().constData());
    return t;
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
    const QString limpo = pasta.filePath(QStringLiteral("limpo.fdb"));
    criaBanco(limpo);
    const QString bancoImportacao = pasta.filePath(QStringLiteral("importacao.fdb"));
    const QString bancoPiso = pasta.filePath(QStringLiteral("piso.fdb"));
    if (!QFile::copy(limpo, bancoImportacao) || !QFile::copy(limpo, bancoPiso))
        throw AppError(QStringLiteral("cannot copy ") + limpo);

    Servico servico(arquivo);
    TPrincipal core;
    core.URL_BASE = servico.url();
    core.edtidEmpresa = QStringLiteral("11");
    core.edtidLocal = QStringLiteral("22");
    core.edtUsuario = QStringLiteral("loja");
    core.edtSenha = QStringLiteral("s3nha");
    core.dtmApi->pathBancoDolvex = bancoImportacao;
    core.patLogErro = pasta.path() + QStringLiteral("/");
    core.podeGetPromo = 1;
    core.podePostVenda = 1;
    core.tblList->Open();

    std::printf("document: %d promotions x (%d condition + %d benefit articles), %.1f MB\n", promocoes, artigos,
                artigos, doc.size() / 1e6);
    std::printf("  import 1 (inserts):\n");
    const Tempos primeira = importa(core);
    relogio.advance(60);
    std::printf("  import 2 (updates):\n");
    const Tempos segunda = importa(core);
    const int linhasPromo = conta(bancoImportacao, "select count(*) from Korvanta_promo where atv_prom='T'");
    const int linhasItem = conta(bancoImportacao, "select count(*) from Korvanta_item");
    if (linhasPromo != promocoes || linhasItem != promocoes * artigos * 2)
        throw AppError(QStringLiteral("the import left %1 active promotions and %2 items").arg(linhasPromo).arg(linhasItem));

    const Medida floor = piso(bancoPiso, lista, 36005);
    if (conta(bancoPiso, "select count(*) from Korvanta_item") != promocoes * artigos * 2)
        throw AppError(QStringLiteral("the floor did not write every item"));

    const auto linha = [](const char* nome, const Medida& m) {
        std::printf("  %-40s %8.3f s wall %8.3f s CPU\n", nome, m.parede, m.cpu);
    };
    linha("fetch 1 (GetPromocoes)", primeira.busca);
    linha("fetch 2 (GetPromocoes)", segunda.busca);
    linha("import 1, inserts (Trata_leitura_Json)", primeira.importacao);
    linha("import 2, updates (Trata_leitura_Json)", segunda.importacao);
    linha("floor, prepared INSERTs, one commit", floor);
    std::printf("  %-40s %8.2f   wall %8.2f   CPU\n", "ratio import 1 / floor", primeira.importacao.parede / floor.parede,
                primeira.importacao.cpu / floor.cpu);
    std::printf("  %-40s %8.2f   wall %8.2f   CPU\n", "ratio import 2 / floor", segunda.importacao.parede / floor.parede,
                segunda.importacao.cpu / floor.cpu);
    std::printf("RESULT promotions_import promotions=%d articles=%d import1_s=%.3f import2_s=%.3f floor_s=%.3f "
                "import1_cpu_s=%.3f import2_cpu_s=%.3f floor_cpu_s=%.3f ratio1=%.3f ratio2=%.3f ratio1_cpu=%.3f "
                "ratio2_cpu=%.3f\n",
                promocoes, artigos, primeira.importacao.parede, segunda.importacao.parede, floor.parede,
                primeira.importacao.cpu, segunda.importacao.cpu, floor.cpu,
                primeira.importacao.parede / floor.parede, segunda.importacao.parede / floor.parede,
                primeira.importacao.cpu / floor.cpu, segunda.importacao.cpu / floor.cpu);
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
    }
    return 0;
}
