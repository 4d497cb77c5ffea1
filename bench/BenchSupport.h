#pragma once
// Set-up shared by the benchmarks: a fresh ERP database with the test schema,
// and the fake service on a free loopback port.

#include "erp/FbDatabase.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/uDtmApi.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace bench {

// Creates the database at `path` with the test ERP schema and leaves db and tr
// attached to it, so the caller can fill it; tr commits by default.
inline void createSchemaDatabase(TFbDatabase& db, TFbTransaction& tr, const QString& path, bool forcedWrites) {
    db.DatabaseName = path;
    db.UserName = TdtmApi::kUserName;
    db.Password = TdtmApi::kPassword;
    db.DefaultTransaction = &tr;
    tr.DefaultDatabase = &db;
    tr.DefaultAction = TFbTransaction::Action::Commit;
    db.CreateDatabase(forcedWrites);
    sqlscript::runFile(db, tr, QStringLiteral(KORVANTA_SOURCE_DIR "/db/erp-schema.sql"));
}

// Starts fake-korvanta on a free port with its journal in `journal` (and the
// further options `more`) and answers its base URL ("http://127.0.0.1:<port>/");
// empty when it did not start.
inline QString startFakeService(QProcess& service, const QString& journal, const QString& user,
                                const QString& password, const QStringList& more = {}) {
    service.start(QDir(KORVANTA_BINARY_DIR).filePath("tools/fake-korvanta/fake-korvanta"),
                  QStringList{"--port", "0", "--journal", journal, "--user", user, "--password", password} + more);
    QByteArray out;
    while (!out.contains("listening on") || !out.endsWith('\n')) {
        if (!service.waitForReadyRead(10'000)) return {};
        out += service.readAllStandardOutput();
    }
    return QString::fromUtf8(out.mid(out.indexOf("http://")).trimmed());
}

} // namespace bench
