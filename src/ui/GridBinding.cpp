#include "ui/GridBinding.h"

#include "support/MemTable.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

TGridLink::TGridLink(QTableView* view, TMemTable* table) : QObject(view), m_view(view), m_table(table) {
    view->setModel(table);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    connect(table, &TMemTable::currentRowChanged, this, &TGridLink::segueTabela);
    connect(table, &QAbstractItemModel::modelReset, this, &TGridLink::segueTabela);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { segueGrade(current.row()); });
    segueTabela();
}

void TGridLink::segueTabela() {
    m_sincronizando = true;
    const int row = m_table->currentRow();
    if (row >= 0 && row < m_table->RecordCount()) {
        const QModelIndex index = m_table->index(row, 0);
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    } else {
        m_view->selectionModel()->clearSelection();
    }
    m_sincronizando = false;
}

void TGridLink::segueGrade(int row) {
    if (m_sincronizando || !m_table->Active() || row < 0 || row >= m_table->RecordCount()) return;
    if (row != m_table->currentRow()) m_table->SetRecNo(row + 1);
}
