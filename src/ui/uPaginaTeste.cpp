#include "ui/uPaginaTeste.h"

#include "support/MemTable.h"
#include "sync/Diagnostico.h"
#include "ui/GridBinding.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* memo(const char* name, QWidget* parent, bool wrap = true) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(true);
    m->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    if (!wrap) m->setLineWrapMode(QPlainTextEdit::NoWrap);
    return m;
}

QTableView* grade(const char* name, TMemTable* table, QWidget* parent) {
    auto* g = new QTableView(parent);
    g->setObjectName(QString::fromLatin1(name));
    new TGridLink(g, table);
    return g;
}

QPushButton* detalhe(const char* name, QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("Detalhe Item"), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// Replaces the shown text only when the core's text changed, so a tester's
// scroll position survives the refreshes.
void mostra(QPlainTextEdit* m, const QString& text) {
    const char* shown = "korvantaText";
    if (m->property(shown).toString() == text && m->property(shown).isValid()) return;
    m->setProperty(shown, text);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m->setPlainText(lines);
}

void mostra(QLineEdit* e, const QString& text) {
    if (e->text() != text) e->setText(text);
}

} // namespace

TPaginaTeste::TPaginaTeste(TDiagnostico& diagnostico, QWidget* parent)
    : QTabWidget(parent), m_diagnostico(diagnostico) {
    setObjectName(QStringLiteral("page"));
    setAutoFillBackground(true); // what it covers must not show beside the tabs

    // ---- "Guia de testes" -------------------------------------------------------
    tab2 = new QWidget(this);
    tab2->setObjectName(QStringLiteral("tab2"));
    auto* identidade = new QGridLayout;
    const auto campo = [this, identidade](const char* name, const QString& label) {
        auto* e = new QLineEdit(tab2);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(true);
        const int row = identidade->rowCount();
        identidade->addWidget(new QLabel(label, tab2), row, 0);
        identidade->addWidget(e, row, 1);
        return e;
    };
    edtidEmpresa = campo("edtidEmpresa", QStringLiteral("idEmpresa"));
    edtidLocal = campo("edtidLocal", QStringLiteral("idLocal"));
    edtUsuario = campo("edtUsuario", QStringLiteral("Usuario"));
    edtSenha = campo("edtSenha", QStringLiteral("Senha"));
    btnGetPromocoes = new QPushButton(QStringLiteral("getPromoções"), tab2);
    btnGetPromocoes->setObjectName(QStringLiteral("btnGetPromocoes"));
    identidade->addWidget(btnGetPromocoes, identidade->rowCount(), 0, 1, 2);
    identidade->setRowStretch(identidade->rowCount(), 1);

    mmoErro = memo("mmoErro", tab2);
    mmoRequest = memo("mmoRequest", tab2);
    mmoResult = memo("mmoResult", tab2);
    auto* topo = new QHBoxLayout;
    topo->addLayout(identidade);
    topo->addWidget(mmoErro, 1);
    auto* guia = new QVBoxLayout(tab2);
    guia->addLayout(topo, 3);
    guia->addWidget(new QLabel(QStringLiteral("Request"), tab2));
    guia->addWidget(mmoRequest, 3);
    guia->addWidget(new QLabel(QStringLiteral("Result"), tab2));
    guia->addWidget(mmoResult, 3);
    addTab(tab2, QStringLiteral("Guia de testes"));

    // ---- "Grades" -----------------------------------------------------------------
    tab3 = new QWidget(this);
    tab3->setObjectName(QStringLiteral("tab3"));
    grid1 = grade("grid1", &diagnostico.promocoes(), tab3);
    grid2 = grade("grid2", &diagnostico.detalhes(), tab3);
    DBGrid1 = grade("DBGrid1", &diagnostico.grupos(), tab3);
    DBGrid2 = grade("DBGrid2", &diagnostico.artigos(), tab3);
    DBGrid3 = grade("DBGrid3", &diagnostico.pedidosDeReenvio(), tab3);
    Button2 = detalhe("Button2", tab3);
    Button3 = detalhe("Button3", tab3);
    Button4 = detalhe("Button4", tab3);
    Button8 = detalhe("Button8", tab3);
    memoItem = memo("memoItem", tab3, false);
    memoformasTmp = memo("memoformasTmp", tab3, false);

    auto* grades = new QGridLayout(tab3);
    auto* botoes2e3 = new QVBoxLayout;
    botoes2e3->addWidget(Button2);
    botoes2e3->addWidget(Button3);
    botoes2e3->addStretch();
    const auto topoAlinhado = [](QWidget* w) {
        auto* box = new QVBoxLayout;
        box->addWidget(w);
        box->addStretch();
        return box;
    };
    grades->addWidget(grid1, 0, 1, 1, 2);
    grades->addLayout(botoes2e3, 1, 0);
    grades->addWidget(grid2, 1, 1, 1, 2);
    grades->addLayout(topoAlinhado(Button4), 2, 0);
    grades->addWidget(DBGrid1, 2, 1, 1, 2);
    grades->addLayout(topoAlinhado(Button8), 3, 0);
    grades->addWidget(DBGrid2, 3, 1);
    grades->addWidget(DBGrid3, 3, 2);
    grades->addWidget(memoItem, 4, 1);
    grades->addWidget(memoformasTmp, 4, 2);
    for (int row = 0; row < 5; ++row)
        grades->setRowStretch(row, 1);
    grades->setColumnStretch(1, 1);
    grades->setColumnStretch(2, 1);
    addTab(tab3, QStringLiteral("Grades"));
    setCurrentWidget(tab3);

    atualiza();
}

void TPaginaTeste::showEvent(QShowEvent* event) {
    atualiza();
    QTabWidget::showEvent(event);
}

void TPaginaTeste::setIdentidade(const IdentidadeTeste& identidade) {
    mostra(edtidEmpresa, identidade.idEmpresa);
    mostra(edtidLocal, identidade.idLocal);
    mostra(edtUsuario, identidade.usuario);
    mostra(edtSenha, identidade.senha);
}

void TPaginaTeste::atualiza() {
    mostra(mmoErro, m_diagnostico.respostaExaminada().Text());
    mostra(mmoRequest, m_diagnostico.documentoEnviado().Text());
    mostra(mmoResult, m_diagnostico.resultado().Text());
    mostra(memoItem, m_diagnostico.textoDoItem().Text());
    mostra(memoformasTmp, m_diagnostico.formasDePagamento().Text());
}
