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
    pathBDDolvex->setText(m_config.pathBDDolvex);
    idEmpresa->setText(m_config.idEmpresa);
    idLocal->setText(m_config.idLocal);
    usuario->setText(m_config.usuario);
    senha->setText(m_config.senha);
    urlBase->setText(m_config.urlBase);
    urlBase2->setText(m_config.urlBase2);
    urlBase3->setText(m_config.urlBase3);
    urlBase4->setText(m_config.urlBase4);
    chkCodEmpDolvex->setChecked(m_config.chkCodEmpDolvex);
    edtcodempdolvex->setText(m_config.edtcodempdolvex.text());
    edtApelidoEmp->setText(m_config.edtApelidoEmp);
    timerProm->setText(m_config.timerProm.text());
    timerReenvio->setText(m_config.timerReenvio.text());
    timerFecha->setText(m_config.timerFecha.text());
    timerVenda->setText(m_config.timerVenda.text());
    edtDataUltFecha->setText(m_config.edtDataUltFecha);
    chkGetPromo->setChecked(m_config.chkGetPromo);
    chkPostVenda->setChecked(m_config.chkPostVenda);
}

void TfrmConfig::guarda() {
    m_config.pathBDDolvex = pathBDDolvex->text();
    m_config.idEmpresa = idEmpresa->text();
    m_config.idLocal = idLocal->text();
    m_config.usuario = usuario->text();
    m_config.senha = senha->text();
    m_config.urlBase = urlBase->text();
    m_config.urlBase2 = urlBase2->text();
    m_config.urlBase3 = urlBase3->text();
    m_config.urlBase4 = urlBase4->text();
    m_config.chkCodEmpDolvex = chkCodEmpDolvex->isChecked();
    m_config.edtcodempdolvex.setText(edtcodempdolvex->text());
    m_config.edtApelidoEmp = edtApelidoEmp->text();
    m_config.timerProm.setText(timerProm->text());
    m_config.timerReenvio.setText(timerReenvio->text());
    m_config.timerFecha.setText(timerFecha->text());
    m_config.timerVenda.setText(timerVenda->text());
    m_config.edtDataUltFecha = edtDataUltFecha->text();
    m_config.chkGetPromo = chkGetPromo->isChecked();
    m_config.chkPostVenda = chkPostVenda->isChecked();
}
