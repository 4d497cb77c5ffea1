#pragma once
// The two floors of bench/sales_upload, each on a database of its own:
//
// - bare: the documents the program posted, posted again by bare libcurl on one
//   handle, each followed by one prepared UPDATE of the ticket's flag and a
//   commit-retaining (the posting and flagging alone);
// - whole job: the sales upload done the plainest way: connect, one prepared
//   ticket selection (with the ticket's payment-forms text), one prepared item
//   selection per ticket, the document built by a plain string builder
//   (MovementWriter.h), the bare libcurl post, the prepared flag UPDATE with a
//   commit-retaining, disconnect.

#include "BenchSupport.h"
#include "MovementWriter.h"
#include "RawStatement.h"
#include "erp/FbMaster.h"
#include "erp/uDtmApi.h"

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QString>

#include <string>
#include <vector>

namespace bench {

// One prepared UPDATE of a ticket's flag to 2, with typed parameters, committed
// (retaining) after each write.
class FlagWrite {
  public:
    FlagWrite(TdtmApi& dtm, int register_)
        : m_update(dtm.dtbDolvex().attachment(), dtm.ibtDolvex().handle(),
                   "update cupom_fiscal set sinc_korvanta = ? "
                   "where nro_cupom = ? and nro_cx = ? and data_cupom = ?"),
          m_transaction(dtm.ibtDolvex().handle()), m_status(fb::master()->getStatus()) {
        m_update.setInt(0, 2);
        m_update.setInt(2, register_);
    }
    ~FlagWrite() { m_status.dispose(); }
    FlagWrite(const FlagWrite&) = delete;
    FlagWrite& operator=(const FlagWrite&) = delete;

    void write(int ticket, const QDate& day) {
        m_update.setInt(1, ticket);
        m_update.setDate(3, day);
        m_update.execute();
        m_transaction->commitRetaining(&m_status);
    }

  private:
    RawStatement m_update;
    Firebird::ITransaction* m_transaction;
    Firebird::ThrowStatusWrapper m_status;
};

// The bare floor: `docs` (tickets 1, 2, ... of `register_` on `day`) posted, each
// followed by its flag write. Answers the seconds, connection excluded.
inline double bareFloor(const QString& database, BarePoster& poster, const std::vector<QByteArray>& docs,
                        int register_, const QDate& day) {
    TdtmApi dtm;
    dtm.setPathBancoDolvex(database);
    dtm.dtmConectDolvex(true);
    QElapsedTimer timer;
    {
        FlagWrite flag(dtm, register_);
        timer.start();
        int ticket = 0;
        for (const QByteArray& doc : docs) {
            poster.post(doc, "bare floor", 200, 208);
            flag.write(++ticket, day);
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    dtm.dtmConectDolvex(false);
    return seconds;
}

// The whole-job floor for the waiting tickets (flag 1) of `register_`: answers
// how many were posted and flagged.
inline int wholeJob(const QString& database, BarePoster& poster, int register_) {
    TdtmApi dtm;
    dtm.setPathBancoDolvex(database);
    dtm.dtmConectDolvex(true);
    int posted = 0;
    {
        Firebird::IAttachment* att = dtm.dtbDolvex().attachment();
        Firebird::ITransaction* tra = dtm.ibtDolvex().handle();
        RawStatement tickets(att, tra,
                             "select c.nro_cupom, c.data_cupom, c.hora, c.vlr_des, c.vlr_acr, c.sub_tot, c.vlr_tro, "
                             "c.cpf_cli, c.forma_pag, "
                             "(select first 1 f.memo_korv from korvanta_delete f where f.nro_cupom = c.nro_cupom "
                             "and f.nro_cx = c.nro_cx and f.data_cupom = c.data_cupom and f.sinc_korv = 99) "
                             "from cupom_fiscal c where c.sinc_korvanta = 1 and c.nro_cx = ? order by c.nro_cupom");
        RawStatement items(att, tra,
                           "select i.cod_mer, m.cod_bar, m.nom_mer, i.qtd_ven, i.vlr_uni, i.sub_tot, i.vlr_des_i_korv "
                           "from itensCupom i left join mercadorias m on m.cod_red = i.cod_mer "
                           "where i.nro_cupom = ? and i.nro_cx = ? and i.data_cupom = ? order by i.nro_item");
        FlagWrite flag(dtm, register_);
        MovementWriter writer;
        PlainSale sale;
        tickets.setInt(0, register_);
        items.setInt(1, register_);
        for (tickets.open(); tickets.fetch();) {
            const QDate date = tickets.date(1);
            const QTime time = tickets.time(2);
            sale.year = date.year(), sale.month = date.month(), sale.day = date.day();
            sale.hour = time.hour(), sale.minute = time.minute(), sale.second = time.second();
            sale.number = long(tickets.integer(0));
            sale.discount = tickets.number(3);
            sale.surcharge = tickets.number(4);
            sale.total = tickets.number(5);
            sale.change = tickets.number(6);
            sale.customer = tickets.text(7);
            sale.cashForm = tickets.text(8);
            sale.payments = tickets.blob(9);
            sale.items.clear();
            items.setInt(0, sale.number);
            items.setDate(2, date);
            for (items.open(); items.fetch();) {
                sale.items.push_back({std::to_string(items.integer(0)), std::string(items.text(1)),
                                      std::string(items.text(2)), items.number(3), items.number(4), items.number(5),
                                      items.number(6)});
            }
            items.close();
            const std::string& doc = writer.write(sale);
            poster.post(QByteArray::fromRawData(doc.data(), qsizetype(doc.size())), "whole-job floor", 200, 208);
            flag.write(int(sale.number), date);
            ++posted;
        }
    }
    dtm.dtmConectDolvex(false);
    return posted;
}

} // namespace bench
