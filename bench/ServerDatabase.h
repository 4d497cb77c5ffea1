#pragma once
// The runs over TCP: the benchmarks' database files attached through the
// Firebird server that scripts/fbserver keeps on this machine, by the name
// "localhost:/path/file.fdb", as a shop's workstation attaches to its ERP
// server. The server runs as its own user, so the file and its folder are
// opened to every user first.

#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/uDtmApi.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <optional>

namespace bench {

// Lets the server's user read and write `path` and create files beside it.
inline void openToServer(const QString& path) {
    const auto rw = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                    QFile::WriteOther;
    const auto x = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(QFileInfo(path).absolutePath(), rw | x);
    QFile::setPermissions(path, rw);
}

// "localhost:" + path once the server lets SYSDBA attach to that file; otherwise
// prints under `bench` the one line saying why the figures over TCP are left
// out, and answers nothing. The file must not be attached by this process's
// embedded engine meanwhile (the server opens it exclusively).
inline std::optional<QString> serverName(const char* bench, const QString& path) {
    openToServer(path);
    const QString name = QStringLiteral("localhost:") + path;
    TFbDatabase db;
    db.setDatabaseName(name);
    db.setUserName(TdtmApi::kUserName);
    db.setPassword(TdtmApi::kPassword);
    db.setConnectTimeoutSeconds(5);
    try {
        db.Open();
        db.Close();
        return name;
    } catch (const DatabaseError& e) {
        std::printf("%s: no Firebird server to attach through on localhost (scripts/fbserver start), so no "
                    "figures over TCP: %s\n",
                    bench, e.message().simplified().toLocal8Bit().constData());
        return std::nullopt;
    }
}

} // namespace bench
