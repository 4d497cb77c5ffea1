// The settings dialog: what it shows, and its three buttons.

#include "UiTestSupport.h"
#include "config/Settings.h"
#include "config/gui/uFrmConfig.h"

#include <QDir>
#include <QFile>

namespace {

class SettingsDialogTest : public uitest::WindowTest {
  protected:
    void SetUp() override {
        writeSettings({{QStringLiteral("IDEMRPESA"), QStringLiteral("11")},
                       {QStringLiteral("timerVenda"), QStringLiteral("0")},
                       {QStringLiteral("timerProm"), QStringLiteral("45s")},
                       {QStringLiteral("DataUltFecha"), QStringLiteral("05/03/2023")}});
        dialog = std::make_unique<TfrmConfig>(config);
        dialog->show();
    }
    [[nodiscard]] QString fileText() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    TConfig config;
    std::unique_ptr<TfrmConfig> dialog;
};

TEST_F(SettingsDialogTest, ShowsTheSettingsAsTheProgramUsesThem) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Configuração de dados para  integração"));
    EXPECT_EQ(dialog->idEmpresa->text(), QStringLiteral("11"));
    EXPECT_EQ(dialog->timerVenda->text(), QStringLiteral("90")); // 0 corrected to its default
    EXPECT_EQ(dialog->timerProm->text(), QStringLiteral("45"));
    EXPECT_EQ(dialog->timerReenvio->text(), QStringLiteral("600"));
    EXPECT_EQ(dialog->timerFecha->text(), QStringLiteral("660"));
    EXPECT_EQ(dialog->edtDataUltFecha->text(), QStringLiteral("05/03/2023"));
    EXPECT_TRUE(dialog->edtDataUltFecha->isReadOnly());
    EXPECT_TRUE(dialog->chkGetPromo->isChecked());
    EXPECT_TRUE(dialog->chkPostVenda->isChecked());
    EXPECT_FALSE(dialog->chkCodEmpDolvex->isChecked());
    for (QToolButton* b : {dialog->btnsair, dialog->btnSalvar, dialog->btnCancelar})
        EXPECT_EQ(b->toolTip(), b->text());
    EXPECT_EQ(dialog->btnsair->text(), QStringLiteral("Voltar"));
    EXPECT_EQ(dialog->btnSalvar->text(), QStringLiteral("Salvar"));
    EXPECT_EQ(dialog->btnCancelar->text(), QStringLiteral("Cancelar"));
    // The main window holds the synchronisation while the dialog is open, and the dialog says so.
    EXPECT_TRUE(dialog->lblPausa->isVisible());
    EXPECT_EQ(dialog->lblPausa->text(),
              QStringLiteral("A sincronização fica em pausa enquanto esta janela estiver aberta."));
}

TEST_F(SettingsDialogTest, VoltarClosesWithoutWriting) {
    const QString before = fileText();
    dialog->idEmpresa->setText(QStringLiteral("99"));
    dialog->btnsair->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(fileText(), before);
}

TEST_F(SettingsDialogTest, SalvarWritesEveryControlAndCloses) {
    dialog->idEmpresa->setText(QStringLiteral("99"));
    dialog->chkGetPromo->setChecked(false);
    dialog->btnSalvar->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const QString text = fileText();
    for (const char* line :
         {"IDEMRPESA=99", "chkGetPromo=NAO", "timerVenda=90", "timerProm=45", "DataUltFecha=05/03/2023"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
}

TEST_F(SettingsDialogTest, SalvarKeepsAClosingDateWrittenWhileTheDialogWasOpen) {
    // The tasks go on while the dialog is open: a closing writes its date.
    TConfig engineSide;
    engineSide.LoadConfig();
    engineSide.SalvaUltFecha(QStringLiteral("09/03/2023"));
    EXPECT_EQ(dialog->edtDataUltFecha->text(), QStringLiteral("05/03/2023")); // shown as it was
    dialog->idEmpresa->setText(QStringLiteral("99"));
    dialog->btnSalvar->click();
    const QString text = fileText();
    for (const char* line : {"IDEMRPESA=99", "DataUltFecha=09/03/2023"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
}

TEST_F(SettingsDialogTest, CancelarReloadsTheFileAndStaysOpen) {
    dialog->idEmpresa->setText(QStringLiteral("99"));
    dialog->timerVenda->setText(QStringLiteral("30"));
    dialog->btnCancelar->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->idEmpresa->text(), QStringLiteral("11"));
    EXPECT_EQ(dialog->timerVenda->text(), QStringLiteral("90"));
}

TEST_F(SettingsDialogTest, ASaveThatFailsKeepsTheDialogOpenAndReportsTheFile) {
    ASSERT_TRUE(QFile::remove(iniPath()));
    ASSERT_TRUE(QDir().mkdir(iniPath())); // nothing can be written there
    QStringList errors;
    QObject::connect(dialog.get(), &TfrmConfig::saveFailed, dialog.get(),
                     [&](const QString& t) { errors << t; });
    dialog->btnSalvar->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.at(0).contains(iniPath())) << errors.at(0).toStdString();
}

} // namespace
