#pragma once
// TActivityLog: the activity log of the tasks and the shell. addList adds one
// row to the table the main window's grid shows (Operacao, Data, Hora,
// Mensagem, at most 101 rows: the row that would be the 102nd starts a new log
// of one row) and appends it, texts whole, to the day's file of the activity
// journal (Journal.h) in the log folder. A journal that cannot be written is
// told once (noticeRaised, shown as an error is), and again only after it
// worked in between.

#include "sync/Atividades.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class TJournal;
class TMemTable;

class TActivityLog : public QObject, public TAtividades {
    Q_OBJECT

  public:
    // `folder` tells the month's log folder (empty while it is not known).
    explicit TActivityLog(std::function<QString()> folder, QObject* parent = nullptr);
    ~TActivityLog() override;

    void addList(const QString& operation, const QString& message) override;
    // Adds a row to the table only (the journal's own failure).
    void showRow(const QDateTime& when, const QString& operation, const QString& message);
    // The rows, texts cut to 40 and 100 characters in the 8-bit code page.
    [[nodiscard]] TMemTable& table() const { return *m_table; }

  signals:
    // Shown as an error is, but no work failed: a journal that cannot be written.
    void noticeRaised(const QString& text);
    void rowAdded(); // a row was added to the table
    // The row just added, with its texts whole (the table keeps them cut).
    void rowLogged(const QDateTime& when, const QString& operation, const QString& message);

  private:
    TMemTable* m_table;
    std::unique_ptr<TJournal> m_journal;
};
