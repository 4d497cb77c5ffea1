// The values of the settings store as a whole: handing them back (setValues)
// and showing a last-closing date without storing it (MostraUltFecha).

#include "ConfigTestFiles.h"
#include "config/Settings.h"
#include "support/fixtures/TestPaths.h"

#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using configtest::readBytes;
using configtest::writeBytes;

namespace {

const QByteArray Stored = "[CONF]\r\nUSUARIO=loja\r\ntimerVenda=45\r\nDataUltFecha=10/03/2023\r\n";

// A store loaded from Stored; its changed() signals are counted from then on.
struct LoadedConfig : configtest::ConfigFile {
    LoadedConfig() {
        load(Stored);
        changes = 0;
    }
};

} // namespace

TEST(ConfigValues, SetValuesTakesEachValueAndSignalsOnlyAChange) {
    struct Case {
        const char* name;
        std::function<void(ConfigValues&)> edit;
    };
    const Case cases[] = {
        {"PATH DOLVEX", [](ConfigValues& v) { v.pathBDDolvex = "srv:/dados/erp.fdb"; }},
        {"IDEMRPESA", [](ConfigValues& v) { v.idEmpresa = "emp-9"; }},
        {"IDLOCAL", [](ConfigValues& v) { v.idLocal = "12"; }},
        {"USUARIO", [](ConfigValues& v) { v.usuario = "caixa"; }},
        {"SENHA", [](ConfigValues& v) { v.senha = "p=w;d"; }},
        {"URLBASE", [](ConfigValues& v) { v.urlBase = "http://a/"; }},
        {"URLBASE2", [](ConfigValues& v) { v.urlBase2 = "http://b/"; }},
        {"URLBASE3", [](ConfigValues& v) { v.urlBase3 = "http://c/"; }},
        {"URLBASE4", [](ConfigValues& v) { v.urlBase4 = "http://d/"; }},
        {"edtApelidoEmp", [](ConfigValues& v) { v.apelidoEmp = "Loja 1"; }},
        {"chkCodEmpDolvex", [](ConfigValues& v) { v.usaCodEmpDolvex = true; }},
        {"chkPostVenda", [](ConfigValues& v) { v.postaVendas = false; }},
        {"chkGetPromo", [](ConfigValues& v) { v.buscaPromocoes = false; }},
        {"edtcodempdolvex", [](ConfigValues& v) { v.codEmpDolvex.setText("3"); }},
        {"timerProm", [](ConfigValues& v) { v.timerProm.setText("301"); }},
        {"timerReenvio", [](ConfigValues& v) { v.timerReenvio.setText("601"); }},
        {"timerFecha", [](ConfigValues& v) { v.timerFecha.setText("661"); }},
        {"timerVenda", [](ConfigValues& v) { v.timerVenda.setText("46"); }},
        {"DataUltFecha", [](ConfigValues& v) { v.dataUltFecha = "11/03/2023"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedConfig f;
        const ConfigValues loaded = f.config.values();

        // The same values again: nothing to tell.
        f.config.setValues(loaded);
        EXPECT_EQ(f.changes, 0);

        ConfigValues edited = loaded;
        c.edit(edited);
        ASSERT_FALSE(edited == loaded);
        f.config.setValues(edited);
        EXPECT_EQ(f.changes, 1);
        EXPECT_TRUE(f.config.values() == edited);
        // Only Save writes.
        EXPECT_EQ(readBytes(f.path), Stored);
    }
}

TEST(ConfigValues, MostraUltFechaShowsTheDateAsGivenAndWritesNothing) {
    // Shown exactly so, unlike SalvaUltFecha's full form; the date already shown too.
    for (const char* given : {"11/03/2023", "5/3/2023", "10/03/2023", "ontem"}) {
        SCOPED_TRACE(given);
        LoadedConfig f;
        f.config.MostraUltFecha(QString::fromLatin1(given));
        EXPECT_EQ(f.config.values().dataUltFecha, given);
        EXPECT_EQ(f.changes, 1);
        EXPECT_EQ(f.config.values().usuario, "loja");
        EXPECT_EQ(f.config.values().timerVenda.text(), "45");
        EXPECT_EQ(readBytes(f.path), Stored);
    }

    // Without a file, none is made.
    TempFolder dir;
    TConfig config(dir.file("configAPI.ini"));
    config.MostraUltFecha(QStringLiteral("11/03/2023"));
    EXPECT_EQ(config.values().dataUltFecha, "11/03/2023");
    EXPECT_FALSE(QFileInfo::exists(dir.file("configAPI.ini")));
}
