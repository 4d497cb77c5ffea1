#pragma once
// The fixture of the promotion and resend-request tests: the core object on an
// embedded ERP database and the fake service, with a manual clock standing at
// 15 June 2026 10:00:05 and the program's folder in a temporary folder. The
// service serves the promotions and resend lists from files of the test.

#include "support/Clock.h"
#include "support/fixtures/CoreOnService.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FakeService.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Texts in failure messages as texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class PromoReenvioTest : public ::testing::Test {
protected:
    static inline const QString kUsuario = QStringLiteral("loja");
    static inline const QString kSenha = QStringLiteral("s3nha");

    void SetUp() override;
    void TearDown() override;
    // What the service serves from now on (files it reads at every request).
    void publicaPromocoes(const QByteArray& corpo) const;
    void publicaReenvioMovimentos(const QByteArray& corpo) const;
    void publicaReenvioFechamentos(const QByteArray& corpo) const;
    // The ERP content the test starts from.
    [[nodiscard]] virtual ErpDatabase::Content conteudo() const { return ErpDatabase::Content::Schema; }

    // The rows of the activity log, each as {Operacao, Mensagem}.
    [[nodiscard]] QList<QStringList> log() const;
    // Whether the log has a row with this operation whose message starts with `mensagem`.
    [[nodiscard]] bool temLog(const QString& operacao, const QString& mensagem = QString()) const;
    // The log rows as one text, for failure messages.
    [[nodiscard]] QString textoDoLog() const;

    ManualClock clock{QDateTime(QDate(2026, 6, 15), QTime(10, 0, 5))};
    TempFolder pasta;    // the program's folder and its log folder
    TempFolder servidos; // the files the service serves
    std::unique_ptr<ErpDatabase> db;
    std::unique_ptr<FakeService> service;
    std::unique_ptr<TPrincipal> core;
};
