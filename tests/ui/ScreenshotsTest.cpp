// Renders the main window with log rows and its support strip, the settings
// dialog and the test console to PNG files. Always into a temporary folder (the
// windows must render on the offscreen platform); scripts/screenshots sets
// KORVANTA_SCREENSHOTS_DIR to write them into docs/ as well.

#include "UiTestSupport.h"
#include "config/gui/uFrmConfig.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "ui/uPaginaTeste.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>

namespace {

class ScreenshotsTest : public uitest::WindowTest {
  protected:
    void SetUp() override {
        clock.set(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0)));
        writeSettings({{QStringLiteral("PATH DOLVEX"), QStringLiteral("erp-server:/dados/loja01/erp.fdb")},
                       {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                       {QStringLiteral("IDLOCAL"), QStringLiteral("1")},
                       {QStringLiteral("USUARIO"), QStringLiteral("loja-centro")},
                       {QStringLiteral("SENHA"), QStringLiteral("s3nha")},
                       {QStringLiteral("URLBASE"), QStringLiteral("https://api.korvanta.example/")},
                       {QStringLiteral("URLBASE2"), QStringLiteral("https://api2.korvanta.example/")},
                       {QStringLiteral("chkCodEmpDolvex"), QStringLiteral("SIM")},
                       {QStringLiteral("edtcodempdolvex"), QStringLiteral("1")},
                       {QStringLiteral("edtApelidoEmp"), QStringLiteral("Loja Centro")},
                       {QStringLiteral("DataUltFecha"), QStringLiteral("08/12/2025")}});
        start();
        QStringList dirs{out.path()};
        if (const QString docs = qEnvironmentVariable("KORVANTA_SCREENSHOTS_DIR"); !docs.isEmpty())
            dirs << docs;
        folders = dirs;
    }

    // Saves the widget's picture in every folder and checks it has the widget's size.
    void save(QWidget* widget, const QString& name) {
        uitest::settle();
        const QPixmap picture = widget->grab();
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), widget->size());
        for (const QString& dir : folders) {
            const QString file = QDir(dir).filePath(name);
            ASSERT_TRUE(picture.save(file, "PNG")) << file.toStdString();
            const QImage back(file);
            EXPECT_EQ(back.size(), picture.size());
        }
    }

    void logRows() {
        const QStringList rows[] = {
            {QStringLiteral("Abriu post-vendas"), QString()},
            {QStringLiteral("Gravação venda: 1 - 2935 - 08/12/2025"), QStringLiteral("200: Ok")},
            {QStringLiteral("Gravação venda: 1 - 2936 - 08/12/2025"), QStringLiteral("200: Ok")},
            {QStringLiteral("Gravação venda: 2 - 1501 - 08/12/2025"), QStringLiteral("200: Ok")},
            {QStringLiteral("Erro gravação: 2 - 1502 - 08/12/2025"),
             QStringLiteral("HTTP/1.1 400 Bad Request")},
            {QStringLiteral("Venda cancelada p.1 (+): 1 - 2930 - 08/12/2025"), QStringLiteral("200: Ok")},
            {QStringLiteral("Venda cancelada p.2 (-): 1 - 2930 - 08/12/2025"), QStringLiteral("200: Ok")},
            {QStringLiteral("Fechamento: 08/12/2025 / Cx: 1"), QStringLiteral("200: ok")},
            {QStringLiteral("Fechamento: 08/12/2025 / Cx: 2"), QStringLiteral("200: ok")},
            {QStringLiteral("Leitura de promoções"), QStringLiteral("Ok")},
            {QStringLiteral("Promoções processada sistema ZYR"), QStringLiteral("Json= 2 / Gravadas: 2")},
            {QStringLiteral("Leitura de reenvio-venda"), QStringLiteral("Ok")},
            {QStringLiteral("Leitura de reenvio-fecha"), QStringLiteral("Ok")},
        };
        onEngine([&](TPrincipal& c) {
            for (const QStringList& row : rows) {
                c.log().addList(row.at(0), row.at(1));
                clock.advance(1);
            }
        });
    }

    TempFolder out;
    QStringList folders;
};

TEST_F(ScreenshotsTest, MainWindowSettingsDialogAndTestConsole) {
    window->restauraClick();
    logRows();
    // The tick that wrote them has ended: the strip shows it as the last one.
    onEngine([](TPrincipal& c) {
        for (TPrazo* prazo : {&c.scheduler().salesCountdown(), &c.scheduler().promotionsCountdown(),
                              &c.scheduler().resendCountdown()})
            prazo->setProximo(clockSeconds() + 3600);
        c.scheduler().timerGeralTimer();
    });
    save(window.get(), QStringLiteral("main-window.png"));

    TfrmConfig& dialog = window->frmConfig();
    dialog.show();
    dialog.adjustSize();
    save(&dialog, QStringLiteral("settings-dialog.png"));
    dialog.hide();

    // The test console as the test workstation shows it, after a promotion has
    // been unfolded level by level.
    onEngine([](TPrincipal& c) {
        JsonToDataset(c.diagnostics().promocoes(), QStringLiteral(R"([
      {"id":101,"titulo":"Leve 3, pague 2 no café","descripcion":"Café solúvel 50g","tipo":"Lleva_paga",
       "autor":{"nombre":"Compras"},"vigenciaDesde":"2025-12-01T00:00:00","vigenciaHasta":"2026-12-31T23:59:59",
       "limitePromocionesPorTicket":2,
       "detalles":{"condiciones":{"grupos":[{"articulos":[{"nombre":"CAFE SOLUVEL 50G","codigoBarras":"7891000010860"}],"cantidad":3}]},
                   "beneficios":{"grupos":[{"articulos":[{"nombre":"CAFE SOLUVEL 50G","codigoBarras":"7891000010860"}],"cantidad":1}]},
                   "precio":11.9,"descuento":0,"paga":2}},
      {"id":103,"titulo":"Leite integral: 2 por 9,90","descripcion":"Leite integral 1L","tipo":"Precio_fijo",
       "autor":"Comercial","vigenciaDesde":"2025-12-01T00:00:00","vigenciaHasta":"2026-06-30T23:59:59",
       "detalles":{"condiciones":{"grupos":[{"articulos":[{"nombre":"LEITE INTEGRAL 1L","codigoBarras":"7891234567895"}],"cantidad":2}]},
                   "beneficios":{"grupos":[{"articulos":[{"nombre":"LEITE INTEGRAL 1L","codigoBarras":"7891234567895"}],"cantidad":2}]},
                   "precio":9.9,"descuento":0,"paga":0}}])"));
        JsonToDataset(c.diagnostics().pedidosDeReenvio(),
                      QStringLiteral(R"([{"fecha":"2025-12-07","codigoCaja":"1"}])"));
        c.commands().showPromotionDetails();
        c.commands().showConditions();
        c.commands().showGroupArticles();
        c.diagnostics().formasDePagamento().Add(QStringLiteral("Dinheiro^50.00"));
        c.diagnostics().formasDePagamento().Add(QStringLiteral("Cartao Credito^20,00"));
        c.setTestConsoleOffered(true);
    });
    window->btnguiaTeste->show();
    window->btnguiaTesteClick();
    ASSERT_TRUE(window->page->isVisible());
    save(window.get(), QStringLiteral("test-console.png"));
}

} // namespace
