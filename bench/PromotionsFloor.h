#pragma once
// The floor of bench/promotions_import: the import's writing done the plainest
// way. For each promotion, and each article of its condition and benefit, a
// prepared lookup by key, then a prepared INSERT when the row is missing or a
// prepared UPDATE when it is there, every value bound with its own type; then
// the two switch-offs (promotions not in this document, promotions out of
// their period); one commit.

#include "PromotionsDocument.h"
#include "RawStatement.h"
#include "erp/FbMaster.h"
#include "erp/uDtmApi.h"
#include "support/Codepage.h"

#include <cmath>

namespace bench {

class PromotionsFloor {
  public:
    explicit PromotionsFloor(TdtmApi& dtm)
        : m_transaction(dtm.ibtDolvex().handle()),
          m_findPromo(dtm.dtbDolvex().attachment(), m_transaction, "select id_prom from Korvanta_promo where id_prom = ?"),
          m_insertPromo(dtm.dtbDolvex().attachment(), m_transaction,
                        "insert into Korvanta_promo (tit_prom, desc_prom, tipo_prom, vig_in_dh, vig_out_dh, "
                        "autor_prom, atv_prom, id_sinc, lim_por_ticket, id_prom) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          m_updatePromo(dtm.dtbDolvex().attachment(), m_transaction,
                        "update Korvanta_promo set tit_prom = ?, desc_prom = ?, tipo_prom = ?, vig_in_dh = ?, "
                        "vig_out_dh = ?, autor_prom = ?, atv_prom = ?, id_sinc = ?, lim_por_ticket = ? "
                        "where id_prom = ?"),
          m_findItem(dtm.dtbDolvex().attachment(), m_transaction,
                     "select id_prom from Korvanta_item where id_prom = ? and cod_bar_prom = ? and tipo_item = ?"),
          m_insertItem(dtm.dtbDolvex().attachment(), m_transaction,
                       "insert into Korvanta_item (preco_prom, desc_prom, paga_prom, qtd_prom, nom_pro_prom, "
                       "cod_red_prom, id_prom, cod_bar_prom, tipo_item) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          m_updateItem(dtm.dtbDolvex().attachment(), m_transaction,
                       "update Korvanta_item set preco_prom = ?, desc_prom = ?, paga_prom = ?, qtd_prom = ?, "
                       "nom_pro_prom = ?, cod_red_prom = ? where id_prom = ? and cod_bar_prom = ? and tipo_item = ?"),
          m_offUnlisted(dtm.dtbDolvex().attachment(), m_transaction,
                        "update Korvanta_promo set atv_prom = 'F' where id_sinc <> ?"),
          m_offPeriod(dtm.dtbDolvex().attachment(), m_transaction,
                      "update Korvanta_promo set atv_prom = 'F' where atv_prom = 'T' "
                      "and (vig_in_dh > ? or vig_out_dh is null or vig_out_dh < ?)") {}

    // Writes every promotion of `lista` under the run's `stamp`, as of `now`.
    // Answers the rows that were there already (updated).
    int write(const std::vector<Promocao>& lista, int stamp, const QDateTime& now) {
        int updated = 0;
        for (const Promocao& p : lista) {
            const bool there = found(m_findPromo, p.id, nullptr, nullptr);
            RawStatement& promo = there ? m_updatePromo : m_insertPromo;
            promo.setText(0, ansi::fromUnicode(p.titulo.left(50)).toStdString());
            promo.setText(1, ansi::fromUnicode(p.descripcion.left(50)).toStdString());
            promo.setText(2, p.tipoProm.toStdString());
            promo.setTimestamp(3, p.desde);
            promo.setTimestamp(4, p.hasta);
            promo.setText(5, "Compras");
            promo.setText(6, "T");
            promo.setInt(7, stamp);
            promo.setInt(8, p.limite);
            promo.setInt(9, p.id);
            promo.execute();
            updated += there ? 1 : 0;
            for (const bool condicao : {true, false}) {
                const double cantidad = condicao ? p.cantidadCondicion : p.cantidadBeneficio;
                const double preco = p.tipoProm == QLatin1String("preco_fixo")
                                         ? std::nearbyint(p.precio / cantidad * 100) / 100
                                         : p.precio;
                const char* kind = condicao ? "condicao" : "beneficio";
                for (const Artigo& a : condicao ? p.condicion : p.beneficio) {
                    const std::string barcode = a.codigo.toStdString();
                    const bool itemThere = found(m_findItem, p.id, &barcode, kind);
                    RawStatement& item = itemThere ? m_updateItem : m_insertItem;
                    item.setNumber(0, preco);
                    item.setNumber(1, p.descuento);
                    item.setNumber(2, p.paga);
                    item.setNumber(3, cantidad);
                    item.setText(4, ansi::fromUnicode(a.nombre.left(50)).toStdString());
                    item.setInt(5, 0);
                    item.setInt(6, p.id);
                    item.setText(7, barcode);
                    item.setText(8, kind);
                    item.execute();
                    updated += itemThere ? 1 : 0;
                }
            }
        }
        m_offUnlisted.setInt(0, stamp);
        m_offUnlisted.execute();
        m_offPeriod.setTimestamp(0, now);
        m_offPeriod.setTimestamp(1, now);
        m_offPeriod.execute();
        Firebird::ThrowStatusWrapper status(fb::master()->getStatus());
        m_transaction->commitRetaining(&status);
        status.dispose();
        return updated;
    }

  private:
    static bool found(RawStatement& find, qint64 id, const std::string* barcode, const char* kind) {
        find.setInt(0, id);
        if (barcode) {
            find.setText(1, *barcode);
            find.setText(2, kind);
        }
        find.open();
        const bool there = find.fetch();
        find.close();
        return there;
    }

    Firebird::ITransaction* m_transaction;
    RawStatement m_findPromo, m_insertPromo, m_updatePromo;
    RawStatement m_findItem, m_insertItem, m_updateItem;
    RawStatement m_offUnlisted, m_offPeriod;
};

} // namespace bench
