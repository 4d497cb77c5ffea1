#pragma once
// TGridLink: shows a memory table in a grid. The grid's current row is the
// table's current row, both ways: the table's moves select and bring the row
// into view, and a row the user picks becomes the table's current row.

#include <QObject>

class QTableView;
class TMemTable;

class TGridLink : public QObject {
    Q_OBJECT

  public:
    // Binds `view` to `table` (the table is the view's model; nothing is copied).
    TGridLink(QTableView* view, TMemTable* table);

  private:
    void segueTabela();       // table -> view
    void segueGrade(int row); // view -> table

    QTableView* m_view;
    TMemTable* m_table;
    bool m_sincronizando = false;
};
