#include "app/StatusText.h"

#include "app/StatusJournal.h"

#include <QStringList>

namespace status {

namespace {

const QString kDateTime = QStringLiteral("dd/MM/yyyy hh:mm:ss");
const QString kDate = QStringLiteral("dd/MM/yyyy");

QString count(qint64 n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString since(const FlagFigures& f, const QDateTime& now) {
    if (f.rows == 0) return {};
    const QString when = f.oldestTime.isValid() ? QDateTime(f.oldestDay, f.oldestTime).toString(kDateTime)
                                                : f.oldestDay.toString(kDate);
    return QStringLiteral(" since %1 (%2 min)").arg(when).arg(pendingAgeMinutes(f, now).value_or(0));
}

QString row(const std::optional<journal::Row>& r) {
    if (!r) return QStringLiteral("none in the journal");
    QString text = r->when.toString(kDateTime) + QStringLiteral(" ") + r->operation;
    if (!r->message.isEmpty()) text += QStringLiteral(" (") + r->message + u')';
    return text;
}

QString perfdata(const Report& report, const Thresholds& t) {
    QStringList data;
    if (report.databaseChecked && report.databaseError.isEmpty()) {
        const RowTotals sums = totals(report);
        data << QStringLiteral("tickets_pending=%1").arg(sums.ticketsPending)
             << QStringLiteral("tickets_refused=%1;0").arg(sums.ticketsRefused)
             << QStringLiteral("cancellations_pending=%1").arg(sums.cancellationsPending)
             << QStringLiteral("cancellations_refused=%1;0").arg(sums.cancellationsRefused)
             << QStringLiteral("oldest_pending_age=%1s;%2;%3;0")
                    .arg(oldestPendingAgeMinutes(report).value_or(0) * 60)
                    .arg(qint64(t.warnAgeMinutes) * 60)
                    .arg(qint64(t.critAgeMinutes) * 60);
    }
    if (report.lastClosedDay.isValid())
        data << QStringLiteral("closing_days_behind=%1;1").arg(report.closingDaysBehind);
    return data.join(u' ');
}

} // namespace

RowTotals totals(const Report& report) {
    RowTotals sums;
    for (const RegisterFigures& r : report.registers) {
        sums.ticketsPending += r.ticketsPending.rows;
        sums.ticketsRefused += r.ticketsRefused.rows;
        sums.cancellationsPending += r.cancellationsPending.rows;
        sums.cancellationsRefused += r.cancellationsRefused.rows;
    }
    return sums;
}

QString summary(const Report& report, const Verdict& verdict) {
    QString text = QStringLiteral("KORVANTA ") + stateName(verdict.state) + QStringLiteral(" - ");
    if (!verdict.problems.empty()) {
        QStringList parts;
        for (const Problem& p : verdict.problems)
            parts << p.text;
        return text + parts.join(QStringLiteral("; "));
    }
    const RowTotals sums = totals(report);
    text += count(sums.ticketsPending, "ticket", "tickets") + QStringLiteral(" and ") +
            count(sums.cancellationsPending, "cancellation", "cancellations") + QStringLiteral(" pending");
    if (const std::optional<qint64> age = oldestPendingAgeMinutes(report))
        text += QStringLiteral(" (oldest %1 min)").arg(*age);
    text += QStringLiteral(", none refused, daily closing ");
    text += report.closingDaysBehind == 0
                ? QStringLiteral("up to date")
                : count(report.closingDaysBehind, "day", "days") + QStringLiteral(" behind");
    return text;
}

QString reportText(const Report& report, const Verdict& verdict, const Thresholds& thresholds) {
    QStringList lines;
    const QString perf = perfdata(report, thresholds);
    lines << summary(report, verdict) + (perf.isEmpty() ? QString() : QStringLiteral(" | ") + perf);
    lines << QStringLiteral("korvanta-sync %1, checked at %2")
                 .arg(report.version, report.checkedAt.toString(kDateTime));
    lines << QStringLiteral("Working folder: ") + report.workingFolder;
    lines << QStringLiteral("Settings: ") + report.settingsFile;
    if (report.settingsProblem.isEmpty()) {
        QString db = QStringLiteral("ERP database: ") + report.database;
        if (report.databaseChecked)
            db += report.databaseError.isEmpty()
                      ? QStringLiteral(" (reachable)")
                      : QStringLiteral(" (unreachable: ") + report.databaseError + u')';
        lines << db;
        lines << QStringLiteral("Company filter: ") + (report.companyFilter
                                                           ? QStringLiteral("cod_emp 0") + report.companyCode
                                                           : QStringLiteral("off"));
        lines << QStringLiteral(
                     "Base URL: %1 (configured; after a failover the running program may use another)")
                     .arg(report.baseUrl);
        QString closing = QStringLiteral("Daily closing: last closed day ");
        closing += report.lastClosedDay.isValid()
                       ? report.lastClosedDay.toString(kDate) + QStringLiteral(", ") +
                             (report.closingDaysBehind == 0 ? QStringLiteral("up to date")
                                                            : count(report.closingDaysBehind, "day", "days") +
                                                                  QStringLiteral(" behind"))
                       : QStringLiteral("'%1', not a date").arg(report.lastClosedText);
        lines << closing;
    }
    if (report.databaseChecked && report.databaseError.isEmpty()) {
        lines << QString();
        if (report.registers.empty())
            lines << QStringLiteral("No ticket or cancellation pending or refused.");
        for (const RegisterFigures& r : report.registers) {
            lines << QStringLiteral("Register %1: tickets %2 pending%3, %4 refused; cancellations %5 "
                                    "pending%6, %7 refused")
                         .arg(r.cashRegister)
                         .arg(r.ticketsPending.rows)
                         .arg(since(r.ticketsPending, report.checkedAt))
                         .arg(r.ticketsRefused.rows)
                         .arg(r.cancellationsPending.rows)
                         .arg(since(r.cancellationsPending, report.checkedAt))
                         .arg(r.cancellationsRefused.rows);
        }
    }
    lines << QString();
    const JournalFindings& j = report.journal;
    for (const Task task : kTasks) {
        const TaskHistory& h = j.tasks[static_cast<std::size_t>(task)];
        QString title = taskTitle(task) + u':';
        title[0] = title[0].toUpper();
        lines << title.leftJustified(17) + QStringLiteral("last success ") + row(h.lastSuccess);
        lines << QString(17, u' ') + QStringLiteral("last failure ") + row(h.lastFailure);
    }
    lines << QStringLiteral("Last error: ") + row(j.lastError);
    lines << QStringLiteral("Journal: newest row %1; %2 read")
                 .arg(row(j.newestRow), count(j.daysRead, "day", "days"));
    if (!verdict.problems.empty()) {
        lines << QString() << QStringLiteral("Problems:");
        for (const Problem& p : verdict.problems)
            lines << QStringLiteral("  ") + stateName(p.state) + QStringLiteral(": ") + p.text;
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace status
