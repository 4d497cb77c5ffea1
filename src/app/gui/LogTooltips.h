#pragma once
// TLogTooltips: the log grid's tooltips. The activity log's table keeps each
// row's texts cut to 40 and 100 characters; the log tells every row with its
// whole texts (rowLogged), and this delegate keeps those beside the table, row
// for row, to show them as the row's tooltip: "Operacao: ...\nMensagem: ...".
// The list follows the table: when the table is emptied (the 102nd row starts a
// new log) the list starts anew too. A row that came without its whole texts
// shows the table's own.

#include <QList>
#include <QStyledItemDelegate>

class QTableView;
class TMemTable;
class TActivityLog;

class TLogTooltips : public QStyledItemDelegate {
  public:
    // Becomes the delegate of `grid`, whose model is the table of `log`.
    TLogTooltips(TActivityLog& log, QTableView* grid);

    // The tooltip of row `row` (0-based), as plain text; empty for no such row.
    [[nodiscard]] QString tooltip(int row) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  private:
    struct Textos {
        QString operacao;
        QString mensagem;
        bool inteiros = false; // false: a row added without its whole texts
    };
    void guarda(const QString& operacao, const QString& mensagem);
    void acompanha(); // after a reset of the table: drop what it no longer holds

    const TMemTable* m_table;
    QList<Textos> m_linhas;
};
