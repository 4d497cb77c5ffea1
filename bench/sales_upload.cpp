// sales_upload: a sales upload run (PostVendas, "Pendentes-1") of 400 tickets
// with 3 items and a payment-forms row each, on the embedded ERP database and
// against fake-korvanta on loopback; and, in the same process, its floor: the
// same 400 documents posted through a bare libcurl loop on one reused handle,
// each followed by one prepared UPDATE of the ticket's flag and a
// commit-retaining, on a twin database. Prints tickets per second of both, the
// run/floor ratio (goal: at most 1.5) and the process's peak memory.
//
//   sales_upload [--rounds R]        (default 3; the median round is reported)
//
// The last line, "RESULT sales_upload key=value ...", holds the median figures
// for scripts/bench.

#include "api/RequestFrame.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/uDtmApi.h"
#include "BenchSupport.h"
#include "support/Clock.h"
#include "support/MemTable.h"
#include "support/Platform.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <firebird/Interface.h>
#include <memory>
#include <vector>

namespace {

constexpr int kTickets = 400;
constexpr int kWarmUp = 20;
const QDate kDay(2020, 6, 10);
const QString kUser = QStringLiteral("loja");
const QString kPassword = QStringLiteral("s3nha");

// kTickets tickets of register 1 and kWarmUp of register 9, all flag 1, each with
// three items and a payment-forms row of two lines.
void createDatabase(const QString& path) {
    TFbDatabase db;
    TFbTransaction tr;
    bench::createSchemaDatabase(db, tr, path, false);
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    fill.SQL.setText(
        QStringLiteral(
            "execute block as declare i integer; declare cx integer; declare n integer; begin "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1001, '7896006700017', 'ARROZ TIPO "
            "1 5KG'); "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1002, '7891000010860', 'CAFE "
            "SOLUVEL 50G'); "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1003, '7891234567895', 'LEITE "
            "INTEGRAL 1L'); "
            "cx = 1; n = %1; "
            "while (cx is not null) do begin i = 1; "
            "while (i <= n) do begin "
            "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, "
            "sub_tot, "
            "vlr_pag, vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp) values (:i, :cx, "
            "'06/10/2020', 0, 31.00, 0, 1.00, 30.00, 40.00, 10.00, 'V', 'DINHEIRO', '123.456.789-09', "
            "'10:00:00', 1, 1); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, "
            "vlr_uni_o, vlr_des_i_korv) values (:i, :cx, '06/10/2020', 1, 1001, 5.00, 10.00, 2, 5.00, 0); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, "
            "vlr_uni_o, vlr_des_i_korv) values (:i, :cx, '06/10/2020', 2, 1002, 11.90, 9.00, 1, 11.90, "
            "2.90); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, "
            "vlr_uni_o, vlr_des_i_korv) values (:i, :cx, '06/10/2020', 3, 1003, 5.50, 11.00, 2, 5.50, 0); "
            "insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, "
            "sub_tot) "
            "values (:i, :cx, '06/10/2020', 1, 'Dinheiro^20.00' || ascii_char(13) || ascii_char(10) || "
            "'Cartao Credito^20,00', 99, 30.00); "
            "i = i + 1; end "
            "if (cx = 1) then begin cx = 9; n = %2; end else cx = null; end end")
            .arg(kTickets)
            .arg(kWarmUp));
    fill.ExecSQL();
    db.Close();
}

// The floor's flag writes: one prepared UPDATE, executed and committed
// (retaining) per ticket.
class PreparedFlagUpdate {
  public:
    explicit PreparedFlagUpdate(TdtmApi& dtm)
        : m_master(Firebird::fb_get_master_interface()), m_status(m_master->getStatus()),
          m_tra(dtm.ibtDolvex.handle()) {
        Firebird::IMetadataBuilder* builder = m_master->getMetadataBuilder(&m_status, 4);
        for (unsigned i = 0; i < 3; ++i) {
            builder->setType(&m_status, i, SQL_LONG + 1);
            builder->setLength(&m_status, i, sizeof(ISC_LONG));
        }
        builder->setType(&m_status, 3, SQL_TYPE_DATE + 1);
        builder->setLength(&m_status, 3, sizeof(ISC_DATE));
        m_meta = builder->getMetadata(&m_status);
        builder->release();
        m_message.assign(m_meta->getMessageLength(&m_status), 0);
        for (unsigned i = 0; i < 4; ++i)
            *reinterpret_cast<short*>(m_message.data() + m_meta->getNullOffset(&m_status, i)) = 0;
        *reinterpret_cast<ISC_LONG*>(at(0)) = 2;
        *reinterpret_cast<ISC_LONG*>(at(2)) = 1;
        *reinterpret_cast<ISC_DATE*>(at(3)) = ISC_DATE(kDay.toJulianDay() - 2400001);
        m_stmt = dtm.dtbDolvex.attachment()->prepare(
            &m_status, m_tra, 0,
            "UPDATE Cupom_fiscal SET sinc_korvanta=? WHERE nro_cupom=? and nro_cx=? and data_cupom=?",
            SQL_DIALECT_V6, 0);
    }
    ~PreparedFlagUpdate() {
        try {
            m_stmt->free(&m_status);
        } catch (const Firebird::FbException&) {
            // The attachment is gone already; nothing left to free.
        }
        m_meta->release();
        m_status.dispose();
    }
    void write(int ticket) {
        *reinterpret_cast<ISC_LONG*>(at(1)) = ticket;
        m_stmt->execute(&m_status, m_tra, m_meta, m_message.data(), nullptr, nullptr);
        m_tra->commitRetaining(&m_status);
    }

  private:
    unsigned char* at(unsigned i) { return m_message.data() + m_meta->getOffset(&m_status, i); }

    Firebird::IMaster* m_master;
    Firebird::ThrowStatusWrapper m_status;
    Firebird::ITransaction* m_tra;
    Firebird::IMessageMetadata* m_meta = nullptr;
    Firebird::IStatement* m_stmt = nullptr;
    std::vector<unsigned char> m_message;
};

// The floor: the documents posted on one reused handle, each followed by its flag write.
double floorRun(const QString& url, const std::vector<QByteArray>& docs, const QString& dbPath) {
    TdtmApi dtm;
    dtm.pathBancoDolvex = dbPath;
    dtm.dtmConectDolvex(true);
    auto update = std::make_unique<PreparedFlagUpdate>(dtm);
    bench::BarePoster poster(url, kUser, kPassword);
    QElapsedTimer timer;
    timer.start();
    int ticket = 0;
    for (const QByteArray& doc : docs) {
        poster.post(doc, "floor", 200, 208);
        update->write(++ticket);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    update.reset();
    dtm.dtmConectDolvex(false);
    return seconds;
}

// The bodies of the movements the journal recorded for one register's path.
std::vector<QByteArray> postedDocuments(const QString& journalPath, const QString& path) {
    std::vector<QByteArray> docs;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) return docs;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("path").toString() == path) docs.push_back(o.value("body").toString().toUtf8());
    }
    return docs;
}

int pendingTickets(TdtmApi& dtm) {
    dtm.qrySelect1.SQL =
        QStringList{QStringLiteral("select count(*) n from cupom_fiscal where sinc_korvanta = 1")};
    dtm.qrySelect1.Open();
    const int n = dtm.qrySelect1.FieldByName(QStringLiteral("N")).AsInteger();
    dtm.qrySelect1.Close();
    return n;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rounds = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == "--rounds") rounds = std::max(1, args[i + 1].toInt());

    QTemporaryDir folder;
    platform::setBaseDir(folder.path());
    const QString journal = folder.filePath("journal.jsonl");
    QProcess service;
    const QString base = bench::startFakeService(service, journal, kUser, kPassword);
    if (base.isEmpty()) {
        std::fprintf(stderr, "fake-korvanta did not start\n");
        return 1;
    }

    std::vector<double> runSeconds, floorSeconds;
    qint64 peakAfterRun = 0;
    for (int r = 0; r < rounds; ++r) {
        // Twin databases, so both sides start from the same state.
        const QString runDb = folder.filePath(QStringLiteral("run%1.fdb").arg(r));
        const QString floorDb = folder.filePath(QStringLiteral("floor%1.fdb").arg(r));
        createDatabase(runDb);
        createDatabase(floorDb);

        TPrincipal core;
        core.frmConfig->LoadConfig();
        core.URL_BASE = base;
        core.edtidEmpresa = QString::number(100 + r);
        core.edtidLocal = QStringLiteral("1");
        core.edtUsuario = kUser;
        core.edtSenha = kPassword;
        core.versaoPdv = core.VersaoRetaguarda = QString::fromLatin1(api::kVersao);
        core.dtmApi->pathBancoDolvex = runDb;
        core.patLogErro = folder.path() + QDir::separator();
        core.chkpostVendas = true;
        core.podeGetPromo = core.podePostVenda = 1;
        core.uPostFecha = clockSeconds() + 1'000'000'000;
        core.tblList->Open();
        // Warm-up: connections, statements and caches, on register 9.
        core.edtData = kDay;
        core.PostVendas(QStringLiteral("Data"), QStringLiteral("9"));

        QElapsedTimer timer;
        timer.start();
        core.PostVendas(QStringLiteral("Pendentes-1"), QString());
        runSeconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        peakAfterRun = std::max(peakAfterRun, platform::peakMemoryBytes());
        core.dtmApi->dtmConectDolvex(true);
        const int left = pendingTickets(*core.dtmApi);
        core.dtmApi->dtmConectDolvex(false);

        const std::vector<QByteArray> docs =
            postedDocuments(journal, "/" + api::pathMovimientos(core.edtidEmpresa, core.edtidLocal, "1"));
        if (left != 0 || int(docs.size()) != kTickets) {
            std::fprintf(stderr, "round %d: %d tickets left unflagged, %d documents posted\n", r + 1, left,
                         int(docs.size()));
            return 1;
        }
        // The floor posts the same documents to another register's path.
        floorSeconds.push_back(
            floorRun(base + api::pathMovimientos(core.edtidEmpresa, core.edtidLocal, "2"), docs, floorDb));
        std::printf("round %d: run %.3f s (%.0f tickets/s), floor %.3f s (%.0f tickets/s), ratio %.3f\n",
                    r + 1, runSeconds.back(), kTickets / runSeconds.back(), floorSeconds.back(),
                    kTickets / floorSeconds.back(), runSeconds.back() / floorSeconds.back());
    }
    std::vector<double> sortedRun = runSeconds, sortedFloor = floorSeconds;
    std::sort(sortedRun.begin(), sortedRun.end());
    std::sort(sortedFloor.begin(), sortedFloor.end());
    const double run = sortedRun[sortedRun.size() / 2];
    const double flo = sortedFloor[sortedFloor.size() / 2];
    std::printf("median: run %.0f tickets/s, floor %.0f tickets/s, ratio %.3f (goal <= 1.5)\n",
                kTickets / run, kTickets / flo, run / flo);
    std::printf("peak memory: %.1f MiB after the runs, %.1f MiB at the end\n", peakAfterRun / 1048576.0,
                platform::peakMemoryBytes() / 1048576.0);
    std::printf("RESULT sales_upload tickets=%d rounds=%d run_s=%.3f floor_s=%.3f run_tps=%.0f floor_tps=%.0f "
                "ratio=%.3f peak_mib=%.1f\n",
                kTickets, rounds, run, flo, kTickets / run, kTickets / flo, run / flo, peakAfterRun / 1048576.0);

    service.terminate();
    service.waitForFinished(10'000);
    return 0;
}
