#include "config/gui/uFrmConfig.h"

#include "config/Settings.h"
#include "support/Errors.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLineEdit* edit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QLineEdit* numeric(const char* name, QWidget* parent) {
    QLineEdit* e = edit(name, parent);
    // A numeric edit takes digits and a sign in first place.
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*")), e));
    e->setMaximumWidth(90);
    return e;
}

QToolButton* botao(const char* name, const QString& text, QStyle::StandardPixmap pixmap, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(text);
    b->setIcon(parent->style()->standardIcon(pixmap));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumWidth(64);
    return b;
}

QCheckBox* check(const char* name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

} // namespace

TfrmConfig::TfrmConfig(TConfig& config, QWidget* parent) : QDialog(parent), m_config(config) {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configuração de dados para  integração"));
    setModal(true);

    btnsair = botao("btnsair", QStringLiteral("Voltar"), QStyle::SP_ArrowBack, this);
    btnSalvar = botao("btnSalvar", QStringLiteral("Salvar"), QStyle::SP_DialogSaveButton, this);
    btnCancelar = botao("btnCancelar", QStringLiteral("Cancelar"), QStyle::SP_DialogCancelButton, this);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(btnsair);
    botoes->addWidget(btnSalvar);
    botoes->addWidget(btnCancelar);
    botoes->addStretch();

    pathBDDolvex = edit("pathBDDolvex", this);
    idEmpresa = edit("idEmpresa", this);
    idLocal = edit("idLocal", this);
    usuario = edit("usuario", this);
    senha = edit("senha", this);
    senha->setEchoMode(QLineEdit::Password);
    urlBase = edit("urlBase", this);
    urlBase2 = edit("urlBase2", this);
    urlBase3 = edit("urlBase3", this);
    urlBase4 = edit("urlBase4", this);
    chkCodEmpDolvex = check("chkCodEmpDolvex", QStringLiteral("Codigo da empresa Dolvex"), this);
    edtcodempdolvex = numeric("edtcodempdolvex", this);
    edtApelidoEmp = edit("edtApelidoEmp", this);
    timerProm = numeric("timerProm", this);
    timerReenvio = numeric("timerReenvio", this);
    timerFecha = numeric("timerFecha", this);
    timerVenda = numeric("timerVenda", this);
    edtDataUltFecha = edit("edtDataUltFecha", this);
    edtDataUltFecha->setReadOnly(true);
    edtDataUltFecha->setMaximumWidth(90);
    chkGetPromo = check("chkGetPromo", QStringLiteral("Ler promoções"), this);
    chkPostVenda = check("chkPostVenda", QStringLiteral("Enviar vendas"), this);
    for (QLineEdit* e : {pathBDDolvex, urlBase, urlBase2, urlBase3, urlBase4})
        e->setMinimumWidth(340);

    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };

    // The database, the ids, the credentials and the four base URLs in one column;
    // the company filter and the nickname to the right of the ids.
    auto* dados = new QGridLayout;
    int r = 0;
    dados->addWidget(label(QStringLiteral("Banco de dados:"), pathBDDolvex), r, 0);
    dados->addWidget(pathBDDolvex, r++, 1, 1, 3);
    dados->addWidget(label(QStringLiteral("ID Empresa:"), idEmpresa), r, 0);
    dados->addWidget(idEmpresa, r, 1);
    dados->addWidget(chkCodEmpDolvex, r, 2);
    dados->addWidget(edtcodempdolvex, r++, 3);
    dados->addWidget(label(QStringLiteral("ID Local:"), idLocal), r, 0);
    dados->addWidget(idLocal, r, 1);
    dados->addWidget(edtApelidoEmp, r++, 2, 1, 2);
    dados->addWidget(label(QStringLiteral("Usuario:"), usuario), r, 0);
    dados->addWidget(usuario, r++, 1);
    dados->addWidget(label(QStringLiteral("Senha:"), senha), r, 0);
    dados->addWidget(senha, r++, 1);
    dados->addWidget(label(QStringLiteral("URL Base:"), urlBase), r, 0);
    dados->addWidget(urlBase, r++, 1, 1, 3);
    for (QLineEdit* e : {urlBase2, urlBase3, urlBase4})
        dados->addWidget(e, r++, 1, 1, 3);

    // The intervals in two columns: promotions and resend, sales and closing.
    auto* intervalos = new QGridLayout;
    intervalos->addWidget(label(QStringLiteral("Get promoção ( seg. 300 ):"), timerProm), 0, 0);
    intervalos->addWidget(timerProm, 0, 1);
    intervalos->addWidget(label(QStringLiteral("Get reenvio ( seg. 600 ):"), timerReenvio), 1, 0);
    intervalos->addWidget(timerReenvio, 1, 1);
    intervalos->addWidget(label(QStringLiteral("Post vendas ( seg. 90 ):"), timerVenda), 0, 2);
    intervalos->addWidget(timerVenda, 0, 3);
    intervalos->addWidget(label(QStringLiteral("Post fechamento ( seg. 660 ): "), timerFecha), 1, 2);
    intervalos->addWidget(timerFecha, 1, 3);
    intervalos->setColumnStretch(4, 1);

    auto* rodape = new QHBoxLayout;
    rodape->addWidget(label(QStringLiteral("Ultimo Fechamento:"), edtDataUltFecha));
    rodape->addWidget(edtDataUltFecha);
    rodape->addSpacing(24);
    rodape->addWidget(chkGetPromo);
    rodape->addWidget(chkPostVenda);
    rodape->addStretch();

    lblPausa = new QLabel(QStringLiteral("A sincronização fica em pausa enquanto esta janela estiver aberta."), this);
    lblPausa->setObjectName(QStringLiteral("lblPausa"));
    lblPausa->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(botoes);
    layout->addWidget(lblPausa);
    layout->addLayout(dados);
    layout->addSpacing(8);
    layout->addLayout(intervalos);
    layout->addSpacing(8);
    layout->addLayout(rodape);

    connect(btnsair, &QToolButton::clicked, this, &TfrmConfig::btnsairClick);
    connect(btnSalvar, &QToolButton::clicked, this, &TfrmConfig::btnSalvarClick);
    connect(btnCancelar, &QToolButton::clicked, this, &TfrmConfig::btnCancelarClick);
}

void TfrmConfig::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TfrmConfig::FormActivate() {
    m_config.LoadConfig();
    mostra();
}

void TfrmConfig::btnSalvarClick() {
    guarda();
    // The last-closing date is only shown here; the closing writes it. One that
    // ran while the dialog was open has written a later date: the save keeps it.
    TConfig noArquivo(m_config.iniPath());
    noArquivo.LoadConfig();
    ConfigValues v = m_config.values();
    v.dataUltFecha = noArquivo.values().dataUltFecha;
    m_config.setValues(v);
    try {
        m_config.Save();
    } catch (const AppError& e) {
        emit saveFailed(e.message());
        return;
    }
    accept();
}

void TfrmConfig::btnsairClick() {
    reject();
}

void TfrmConfig::btnCancelarClick() {
    FormActivate();
}

void TfrmConfig::mostra() {
    const ConfigValues& v = m_config.values();
    pathBDDolvex->setText(v.pathBDDolvex);
    idEmpresa->setText(v.idEmpresa);
    idLocal->setText(v.idLocal);
    usuario->setText(v.usuario);
    senha->setText(v.senha);
    urlBase->setText(v.urlBase);
    urlBase2->setText(v.urlBase2);
    urlBase3->setText(v.urlBase3);
    urlBase4->setText(v.urlBase4);
    chkCodEmpDolvex->setChecked(v.usaCodEmpDolvex);
    edtcodempdolvex->setText(v.codEmpDolvex.text());
    edtApelidoEmp->setText(v.apelidoEmp);
    timerProm->setText(v.timerProm.text());
    timerReenvio->setText(v.timerReenvio.text());
    timerFecha->setText(v.timerFecha.text());
    timerVenda->setText(v.timerVenda.text());
    edtDataUltFecha->setText(v.dataUltFecha);
    chkGetPromo->setChecked(v.buscaPromocoes);
    chkPostVenda->setChecked(v.postaVendas);
}

void TfrmConfig::guarda() {
    ConfigValues v = m_config.values();
    v.pathBDDolvex = pathBDDolvex->text();
    v.idEmpresa = idEmpresa->text();
    v.idLocal = idLocal->text();
    v.usuario = usuario->text();
    v.senha = senha->text();
    v.urlBase = urlBase->text();
    v.urlBase2 = urlBase2->text();
    v.urlBase3 = urlBase3->text();
    v.urlBase4 = urlBase4->text();
    v.usaCodEmpDolvex = chkCodEmpDolvex->isChecked();
    v.codEmpDolvex.setText(edtcodempdolvex->text());
    v.apelidoEmp = edtApelidoEmp->text();
    v.timerProm.setText(timerProm->text());
    v.timerReenvio.setText(timerReenvio->text());
    v.timerFecha.setText(timerFecha->text());
    v.timerVenda.setText(timerVenda->text());
    v.dataUltFecha = edtDataUltFecha->text();
    v.buscaPromocoes = chkGetPromo->isChecked();
    v.postaVendas = chkPostVenda->isChecked();
    m_config.setValues(v);
}
