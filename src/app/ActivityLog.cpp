#include "app/ActivityLog.h"

#include "app/ErrorDisplay.h"
#include "app/Journal.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/MemTable.h"

namespace {
constexpr int OperationSize = 40;
constexpr int MessageSize = 100;
constexpr int MaxRows = 100; // more rows than this empties the table first
} // namespace

TActivityLog::TActivityLog(std::function<QString()> folder, QObject* parent)
    : QObject(parent), m_table(new TMemTable(QStringLiteral("tblList"),
                                             {{QStringLiteral("Operacao"), FieldType::Text, OperationSize},
                                              {QStringLiteral("Data"), FieldType::Date, 0},
                                              {QStringLiteral("Hora"), FieldType::Time, 0},
                                              {QStringLiteral("Mensagem"), FieldType::Text, MessageSize}},
                                             this)),
      m_journal(std::make_unique<TJournal>(std::move(folder))) {}

TActivityLog::~TActivityLog() = default;

void TActivityLog::addList(const QString& operation, const QString& message) {
    QDateTime now = appClock().now();
    const QTime time = now.time();
    now.setTime(QTime(time.hour(), time.minute(), time.second()));
    showRow(now, operation, message);
    if (const std::optional<QString> failure = m_journal->append(now, operation, message)) {
        // Shown like an error that no task handled, but not journaled (the
        // journal is what failed) and without ending the work in progress.
        showRow(now, QStringLiteral("Erro na operação"), *failure);
        emit noticeRaised(TErrorDisplay::shownText(*failure));
    }
}

void TActivityLog::showRow(const QDateTime& when, const QString& operation, const QString& message) {
    if (m_table->Active()) {
        if (m_table->RecordCount() > MaxRows) m_table->EmptyTable();
        // Stored as the 8-bit code page keeps it ("?" for what it lacks), then cut.
        m_table->appendRow({ansi::roundTrip(operation).left(OperationSize), when.date(), when.time(),
                            ansi::roundTrip(message).left(MessageSize)});
    }
    emit rowLogged(when, operation, message);
    emit rowAdded();
}
