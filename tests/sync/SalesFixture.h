#pragma once
// The fixture of the sales upload and daily closing tests: the core object on
// an embedded ERP database (empty tables) and the fake service, a manual clock
// standing at 14 June 2020 09:00:00, and the program's folder (configAPI.ini and
// the log folder) in a temporary folder. Every log row is recorded as it is
// added, so tests see more than the 101 rows the log table keeps.

#include "support/Clock.h"
#include "support/fixtures/CoreOnService.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FakeService.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

[[maybe_unused]] static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class SalesTest : public ::testing::Test {
  protected:
    static inline const QString kUsuario = QStringLiteral("loja");
    static inline const QString kSenha = QStringLiteral("s3nha");
    static inline const QDate kDia = QDate(2020, 6, 10);

    void SetUp() override;
    void TearDown() override;

    // ---- ERP rows ---------------------------------------------------------------
    // A ticket like the example's: 15:12:00, total 45.60, no discount, paid
    // DINHEIRO, one item of goods 1002 (quantity 4, total 45.60, discount 2.00).
    void cupom(int nro, int cx = 1, const QDate& dia = kDia, int flag = 1) const;
    // count tickets nro first.. of register cx, each with three items and a payment-forms row.
    void cupons(int first, int count, int cx = 1, const QDate& dia = kDia) const;
    // A cancellation row (sinc_korv flag) whose text is the example ticket's.
    void cancelamento(int nro, int cx = 1, const QDate& dia = kDia, int flag = 1,
                      const QString& memo = textoCancelado()) const;
    // The payment-forms row (99) of a ticket.
    void formasPgto(int nro, int cx, const QDate& dia, const QString& texto) const;
    // The cancelled-ticket text of ticket 2935 of the example, lines joined by CR LF.
    [[nodiscard]] static QString textoCancelado();
    // A text as an SQL expression: quotes doubled, control characters as ASCII_CHAR.
    [[nodiscard]] static QString sql(const QString& texto);
    [[nodiscard]] int flagCupom(int nro, int cx = 1) const;
    [[nodiscard]] int flagCancelamento(int nro, int cx = 1) const;

    // ---- What the run did -------------------------------------------------------
    // The requests the service received at one endpoint.
    [[nodiscard]] QList<JournalRecord> posts(const QString& endpoint = QStringLiteral("movimientos")) const;
    // "numero" of each movement posted, in order.
    [[nodiscard]] QStringList numerosPostados() const;
    struct Linha {
        QString operacao;
        QString mensagem;
    };
    QList<Linha> linhasDoLog; // every row added, in order
    // Whether a row has this operation (cut at the log's 40 characters) and a
    // message starting with `mensagem`.
    [[nodiscard]] bool temLog(const QString& operacao, const QString& mensagem = QString()) const;
    [[nodiscard]] QString textoDoLog() const;
    // The settings file's "DataUltFecha".
    [[nodiscard]] QString dataUltFechaGravada() const;

    ManualClock clock{QDateTime(QDate(2020, 6, 14), QTime(9, 0, 0))};
    TempFolder pasta; // the program's folder
    std::unique_ptr<ErpDatabase> db;
    std::unique_ptr<FakeService> service;
    std::unique_ptr<TPrincipal> core;
};
