#include "app/gui/LogTooltips.h"

#include "app/ActivityLog.h"
#include "support/MemTable.h"

#include <QHelpEvent>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>

namespace {
constexpr int ColunaOperacao = 0;
constexpr int ColunaMensagem = 3;
} // namespace

TLogTooltips::TLogTooltips(TActivityLog& log, QTableView* grid)
    : QStyledItemDelegate(grid), m_table(&log.table()) {
    grid->setItemDelegate(this);
    connect(&log, &TActivityLog::rowLogged, this,
            [this](const QDateTime&, const QString& operacao, const QString& mensagem) {
                guarda(operacao, mensagem);
            });
    connect(m_table, &QAbstractItemModel::modelReset, this, &TLogTooltips::acompanha);
}

void TLogTooltips::guarda(const QString& operacao, const QString& mensagem) {
    // The log tells the row after the table took it; a closed table dropped it.
    if (!m_table->Active()) return;
    const int linhas = m_table->RecordCount();
    if (m_linhas.size() >= linhas) m_linhas.clear(); // the table was emptied first
    while (m_linhas.size() < linhas - 1)
        m_linhas.append(Textos{});
    m_linhas.append(Textos{operacao, mensagem, true});
}

void TLogTooltips::acompanha() {
    if (m_linhas.size() > m_table->RecordCount()) m_linhas.clear();
}

QString TLogTooltips::tooltip(int row) const {
    if (row < 0 || row >= m_table->RecordCount()) return {};
    Textos textos;
    if (row < m_linhas.size() && m_linhas.at(row).inteiros)
        textos = m_linhas.at(row);
    else
        textos = {m_table->cell(row, ColunaOperacao).toString(),
                  m_table->cell(row, ColunaMensagem).toString(), false};
    return QStringLiteral("Operacao: ") + textos.operacao + QStringLiteral("\nMensagem: ") + textos.mensagem;
}

bool TLogTooltips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString texto = tooltip(index.row());
    if (texto.isEmpty()) return false;
    // As rich text the tooltip wraps its lines: an error message can be long.
    QToolTip::showText(event->globalPos(), Qt::convertFromPlainText(texto, Qt::WhiteSpaceNormal), view,
                       view->visualRect(index));
    return true;
}
