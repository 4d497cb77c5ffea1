#pragma once
// The store's side of the soak: the point-of-sale software writing tickets and
// cancelled tickets into the ERP database while the synchroniser runs, on a connection of its own that
// stays open for the whole run (as the point-of-sale software's does). The same
// connection asks the engine how many other attachments the database has.

#include "BenchSupport.h"
#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <map>

namespace bench {

class SoakStore {
  public:
    // Creates the database at `path` with the test schema and three goods.
    explicit SoakStore(const QString& path) : m_query(&m_db, &m_tr, QStringLiteral("store")) {
        createSchemaDatabase(m_db, m_tr, path, false);
        m_tr.setDefaultAction(TFbTransaction::Action::Commit);
        exec(QStringLiteral("insert into mercadorias (cod_red, cod_bar, nom_mer) values "
                            "(1001, '7896006700017', 'ARROZ TIPO 1 5KG')"));
        exec(QStringLiteral("insert into mercadorias (cod_red, cod_bar, nom_mer) values "
                            "(1002, '7891000010860', 'CAFE SOLUVEL 50G')"));
        exec(QStringLiteral("insert into mercadorias (cod_red, cod_bar, nom_mer) values "
                            "(1003, '7891234567895', 'LEITE INTEGRAL 1L')"));
        m_tr.Commit();
    }

    // One ticket of `register_` (flag 1) at day and time, with its items and its
    // payment-forms row, committed. Even ticket numbers have three items (one
    // discounted) and are paid with change; odd ones have one item, paid exactly.
    void sell(int register_, const QDate& day, const QTime& time) {
        const int number = ++m_lastNumber[register_];
        const QString key =
            QStringLiteral("%1, %2, '%3'").arg(number).arg(register_).arg(day.toString("MM/dd/yyyy"));
        const QString hour = time.toString(QStringLiteral("hh:mm:ss"));
        if (number % 2 == 0) {
            ticket(key, hour, QStringLiteral("31.00, 0, 1.00, 30.00, 40.00, 10.00"));
            item(key, QStringLiteral("1, 1001, 5.00, 10.00, 2, 5.00, 0"));
            item(key, QStringLiteral("2, 1002, 11.90, 9.00, 1, 11.90, 2.90"));
            item(key, QStringLiteral("3, 1003, 5.50, 11.00, 2, 5.50, 0"));
            payments(key,
                     QStringLiteral("'Dinheiro^20.00' || ascii_char(13) || ascii_char(10) || "
                                    "'Cartao Credito^20,00'"),
                     QStringLiteral("30.00"));
        } else {
            ticket(key, hour, QStringLiteral("11.90, 0, 0, 11.90, 11.90, 0"));
            item(key, QStringLiteral("1, 1002, 11.90, 11.90, 1, 11.90, 0"));
            payments(key, QStringLiteral("'Cartao Debito^11.90'"), QStringLiteral("11.90"));
        }
        m_tr.Commit();
        ++m_sold;
    }

    // A ticket of `register_` cancelled at day and time: its cancellation row
    // (flag 1) with the cancelled-ticket text of one item, committed.
    void cancel(int register_, const QDate& day, const QTime& time) {
        const int number = ++m_lastNumber[register_];
        const QString crlf = QStringLiteral(" || ascii_char(13) || ascii_char(10) || ");
        const QStringList lines{
            QStringLiteral("'%1T%2.000-0300'").arg(day.toString("yyyy-MM-dd"), time.toString("hh:mm:ss")),
            QStringLiteral("'CUPOM %1 CX %2'").arg(number).arg(register_),
            QStringLiteral("'OPERADOR 1'"),
            QStringLiteral("'1002^7891000010860^CAFE SOLUVEL 50G^4^11.90^45.60^2.00'"),
            QStringLiteral("'FIMITENS'"),
            QStringLiteral("'TOTAIS'"),
            QStringLiteral("'0,00^0,00^45,60^^Cartao Credito'")};
        exec(QStringLiteral("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, "
                            "sinc_korv, sub_tot) values (%1, %2, '%3', 1, %4, 1, 45.60)")
                 .arg(number)
                 .arg(register_)
                 .arg(day.toString("MM/dd/yyyy"), lines.join(crlf)));
        m_tr.Commit();
        ++m_cancelled;
    }

    [[nodiscard]] int sold() const { return m_sold; }
    [[nodiscard]] int cancelled() const { return m_cancelled; }

    // The first number of a single-row, single-column selection.
    int count(const QString& sql) {
        m_query.sql() = QStringList{sql};
        m_query.Open();
        const int n = m_query.Fields(0).AsInteger();
        m_query.Close();
        m_tr.Commit(); // the next look sees the engine anew (mon$ tables are a snapshot)
        return n;
    }

    // The user attachments to the database other than this one.
    int otherAttachments() {
        return count(QStringLiteral("select count(*) from mon$attachments "
                                    "where mon$system_flag = 0 and mon$attachment_id <> current_connection"));
    }

  private:
    void exec(const QString& sql) {
        m_query.sql() = QStringList{sql};
        m_query.ExecSQL();
    }
    void ticket(const QString& key, const QString& hour, const QString& amounts) {
        exec(QStringLiteral(
                 "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, vlr_pro, vlr_acr, vlr_des, "
                 "sub_tot, vlr_pag, vlr_tro, cod_cli, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, "
                 "cod_emp) values (%1, %2, 0, 'V', 'DINHEIRO', '', '%3', 1, 1)")
                 .arg(key, amounts, hour));
    }
    void item(const QString& key, const QString& values) {
        exec(QStringLiteral(
                 "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, "
                 "sub_tot, qtd_ven, vlr_uni_o, vlr_des_i_korv) values (%1, %2)")
                 .arg(key, values));
    }
    void payments(const QString& key, const QString& memo, const QString& subTotal) {
        exec(QStringLiteral("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, "
                            "sinc_korv, sub_tot) values (%1, 1, %2, 99, %3)")
                 .arg(key, memo, subTotal));
    }

    TFbDatabase m_db;
    TFbTransaction m_tr;
    TFbQuery m_query;
    std::map<int, int> m_lastNumber; // register -> last ticket number
    int m_sold = 0;
    int m_cancelled = 0;
};

} // namespace bench
