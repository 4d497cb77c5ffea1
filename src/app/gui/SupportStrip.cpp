#include "app/gui/SupportStrip.h"

#include "api/RequestFrame.h"
#include "app/Engine.h"
#include "app/uPrincipal.h"
#include "support/Clock.h"
#include "support/Platform.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString Nenhum = QStringLiteral("—");

// A time of today as "HH:mm:ss"; of another day with its date before it.
QString hora(const QDateTime& quando, const QDate& hoje) {
    if (quando.date() == hoje) return quando.toString(QStringLiteral("HH:mm:ss"));
    return quando.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

TCampoSuporte::TCampoSuporte(const char* name, QWidget* parent) : QLabel(parent) {
    setObjectName(QString::fromLatin1(name));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copiar = new QAction(QStringLiteral("Copiar"), this);
    connect(copiar, &QAction::triggered, this, [this] { QGuiApplication::clipboard()->setText(m_valor); });
    addAction(copiar);
}

void TCampoSuporte::setValor(const QString& valor) {
    // Unchanged values are left alone, so a refresh keeps a selection.
    if (valor == m_valor) return;
    m_valor = valor;
    setToolTip(valor);
    mostra();
    updateGeometry();
}

QSize TCampoSuporte::sizeHint() const {
    // The shown text may be cut; the hint is the whole value's, so the layout
    // never shrinks a value because it was shown cut before.
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(m_valor) + m.left() + m.right() + 2, QLabel::sizeHint().height()};
}

QSize TCampoSuporte::minimumSizeHint() const {
    return {std::min(sizeHint().width(), fontMetrics().horizontalAdvance(QStringLiteral("/home/…/"))),
            QLabel::minimumSizeHint().height()};
}

void TCampoSuporte::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    mostra();
}

void TCampoSuporte::mostra() {
    const QString visto = fontMetrics().elidedText(m_valor, Qt::ElideMiddle, contentsRect().width());
    if (visto != text()) setText(visto);
}

TSupportStrip::TSupportStrip(TEngine& engine, QWidget* parent)
    : QFrame(parent), m_engine(engine),
      m_abre([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("faixaSuporte"));
    setFrameShape(QFrame::StyledPanel);

    edtVersao = new TCampoSuporte("edtVersao", this);
    edtPasta = new TCampoSuporte("edtPasta", this);
    edtPastaLog = new TCampoSuporte("edtPastaLog", this);
    edtBanco = new TCampoSuporte("edtBanco", this);
    edtUrlBase = new TCampoSuporte("edtUrlBase", this);
    edtUltimoCiclo = new TCampoSuporte("edtUltimoCiclo", this);
    edtProximoCiclo = new TCampoSuporte("edtProximoCiclo", this);
    btnAbreLog = new QPushButton(QStringLiteral("Abrir"), this);
    btnAbreLog->setObjectName(QStringLiteral("btnAbreLog"));
    btnAbreLog->setToolTip(QStringLiteral("Abre a pasta de log"));
    // A time of the day is never cut.
    for (TCampoSuporte* tempo : {edtUltimoCiclo, edtProximoCiclo})
        tempo->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 4);

    // Two lines of captions and values:
    //   Versão | Pasta de trabalho | Pasta de log [Abrir]
    //   Banco  | URL base          | Último ciclo | Próximo ciclo
    const auto par = [this](QHBoxLayout* linha, const QString& rotulo, TCampoSuporte* campo) {
        auto* l = new QLabel(rotulo, this);
        l->setBuddy(campo);
        if (linha->count() > 0) linha->addSpacing(10);
        linha->addWidget(l);
        linha->addWidget(campo);
    };
    auto* linha1 = new QHBoxLayout;
    linha1->setSpacing(4);
    par(linha1, QStringLiteral("Versão:"), edtVersao);
    par(linha1, QStringLiteral("Pasta de trabalho:"), edtPasta);
    par(linha1, QStringLiteral("Pasta de log:"), edtPastaLog);
    linha1->addWidget(btnAbreLog);
    auto* linha2 = new QHBoxLayout;
    linha2->setSpacing(4);
    par(linha2, QStringLiteral("Banco:"), edtBanco);
    par(linha2, QStringLiteral("URL base:"), edtUrlBase);
    par(linha2, QStringLiteral("Último ciclo:"), edtUltimoCiclo);
    par(linha2, QStringLiteral("Próximo ciclo:"), edtProximoCiclo);
    auto* linhas = new QVBoxLayout(this);
    linhas->setContentsMargins(6, 2, 6, 2);
    linhas->setSpacing(0);
    linhas->addLayout(linha1);
    linhas->addLayout(linha2);

    // The paths and addresses take the room that is left; where there is too
    // little, the longest give up the most.
    for (TCampoSuporte* longo : {edtPasta, edtPastaLog, edtBanco, edtUrlBase})
        longo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    m_relogio.setInterval(1000);
    connect(&m_relogio, &QTimer::timeout, this, &TSupportStrip::atualiza);
    connect(btnAbreLog, &QPushButton::clicked, this, &TSupportStrip::btnAbreLogClick);
    connect(&engine, &TEngine::stateChanged, this, &TSupportStrip::atualiza);
    connect(&engine, &TEngine::tickFinished, this, [this](const QDateTime& quando) {
        m_ultimoCiclo = quando;
        atualiza();
    });
    atualiza();
}

void TSupportStrip::atualiza() {
    const QDateTime agora = appClock().now();
    edtVersao->setValor(QString::fromLatin1(api::kVersao));
    edtPasta->setValor(QDir::toNativeSeparators(platform::baseDir()));
    const EngineState& estado = m_engine.state();
    edtPastaLog->setValor(estado.logFolder.isEmpty() ? Nenhum : QDir::toNativeSeparators(estado.logFolder));
    btnAbreLog->setEnabled(!estado.logFolder.isEmpty());
    edtBanco->setValor(estado.database.isEmpty() ? Nenhum : estado.database);
    edtUrlBase->setValor(estado.baseUrl.isEmpty() ? Nenhum : estado.baseUrl);
    edtUltimoCiclo->setValor(m_ultimoCiclo.isValid() ? hora(m_ultimoCiclo, agora.date()) : Nenhum);
    edtProximoCiclo->setValor(proximoCiclo(agora));
}

QString TSupportStrip::proximoCiclo(const QDateTime& agora) const {
    const EngineState& estado = m_engine.state();
    if (m_engine.busy()) return QStringLiteral("em andamento");
    // Stopped while a command runs or the settings dialog is open.
    if (!estado.timersRunning()) return QStringLiteral("em pausa");
    // To the nearest second: a timer of seconds fires within a second of its time anyway.
    const qint64 ms = std::max<qint64>(0, agora.msecsTo(estado.nextTick));
    return hora(agora.addSecs((ms + 500) / 1000), agora.date());
}

void TSupportStrip::btnAbreLogClick() {
    const QString pasta = m_engine.state().logFolder;
    if (pasta.isEmpty()) return;
    if (!m_abre(QUrl::fromLocalFile(pasta)))
        QMessageBox::warning(
            this, TPrincipal::applicationTitle(),
            QStringLiteral("Não foi possível abrir a pasta de log %1").arg(QDir::toNativeSeparators(pasta)));
}

void TSupportStrip::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    atualiza();
    m_relogio.start();
}

void TSupportStrip::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    m_relogio.stop();
}
