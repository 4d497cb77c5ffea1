#include "app/StatusVerdict.h"

#include "app/StatusJournal.h"

#include <algorithm>

namespace status {

namespace {

struct Totals {
    qint64 ticketsRefused = 0;
    qint64 cancellationsRefused = 0;
};

struct Pending {
    const FlagFigures* figures;
    const char* one;
    const char* many;
};

QString plural(qint64 n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

QString stateName(State state) {
    switch (state) {
    case State::Ok:
        return QStringLiteral("OK");
    case State::Warning:
        return QStringLiteral("WARNING");
    case State::Critical:
        return QStringLiteral("CRITICAL");
    case State::Unknown:
        return QStringLiteral("UNKNOWN");
    }
    return {};
}

std::optional<qint64> pendingAgeMinutes(const FlagFigures& figures, const QDateTime& now) {
    if (figures.rows == 0 || !figures.oldestDay.isValid()) return std::nullopt;
    const QDateTime since = figures.oldestTime.isValid()
                                ? QDateTime(figures.oldestDay, figures.oldestTime)
                                : QDateTime(figures.oldestDay.addDays(1), QTime(0, 0));
    return std::max<qint64>(0, since.secsTo(now) / 60);
}

std::optional<qint64> oldestPendingAgeMinutes(const Report& report) {
    std::optional<qint64> oldest;
    for (const RegisterFigures& r : report.registers)
        for (const FlagFigures* f : {&r.ticketsPending, &r.cancellationsPending})
            if (const std::optional<qint64> age = pendingAgeMinutes(*f, report.checkedAt))
                oldest = std::max(oldest.value_or(0), *age);
    return oldest;
}

Verdict judge(const Report& report, const Thresholds& thresholds) {
    Verdict verdict;
    const auto add = [&verdict](State state, const QString& text) {
        verdict.problems.push_back({state, text});
    };

    if (!report.settingsProblem.isEmpty()) {
        add(State::Unknown, report.settingsProblem);
    } else if (!report.databaseError.isEmpty()) {
        add(State::Critical, QStringLiteral("ERP database %1 unreachable").arg(report.database));
    } else {
        Totals totals;
        for (const RegisterFigures& r : report.registers) {
            totals.ticketsRefused += r.ticketsRefused.rows;
            totals.cancellationsRefused += r.cancellationsRefused.rows;
            const Pending pending[] = {{&r.ticketsPending, "ticket", "tickets"},
                                       {&r.cancellationsPending, "cancellation", "cancellations"}};
            for (const Pending& p : pending) {
                const std::optional<qint64> age = pendingAgeMinutes(*p.figures, report.checkedAt);
                if (!age || *age <= thresholds.warnAgeMinutes) continue;
                add(*age > thresholds.critAgeMinutes ? State::Critical : State::Warning,
                    QStringLiteral("register %1: %2 pending for %3 min")
                        .arg(r.cashRegister)
                        .arg(plural(p.figures->rows, p.one, p.many))
                        .arg(*age));
            }
        }
        if (totals.ticketsRefused > 0)
            add(State::Warning,
                plural(totals.ticketsRefused, "ticket", "tickets") + QStringLiteral(" refused"));
        if (totals.cancellationsRefused > 0)
            add(State::Warning, plural(totals.cancellationsRefused, "cancellation", "cancellations") +
                                    QStringLiteral(" refused"));
    }

    if (report.settingsProblem.isEmpty()) {
        if (!report.lastClosedDay.isValid())
            add(State::Warning, QStringLiteral("last closed day (DataUltFecha) '%1' is not a date")
                                    .arg(report.lastClosedText));
        else if (report.closingDaysBehind > 1)
            add(State::Warning, QStringLiteral("daily closing %1 behind")
                                    .arg(plural(report.closingDaysBehind, "day", "days")));
    }

    const JournalFindings& j = report.journal;
    if (!j.newestRow) {
        add(State::Warning, QStringLiteral("no activity journal found"));
    } else {
        const qint64 quiet = std::max<qint64>(0, j.newestRow->when.secsTo(report.checkedAt) / 60);
        if (quiet > thresholds.warnAgeMinutes)
            add(State::Warning, QStringLiteral("no activity logged for %1 min").arg(quiet));
    }
    for (const Task task : kTasks) {
        const TaskHistory& h = j.tasks[static_cast<std::size_t>(task)];
        if (h.failedLast)
            add(State::Warning,
                QStringLiteral("%1 failed last (%2)").arg(taskTitle(task), h.lastFailure->operation));
    }

    std::stable_sort(verdict.problems.begin(), verdict.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.state > b.state; });
    if (!verdict.problems.empty()) verdict.state = verdict.problems.front().state;
    return verdict;
}

} // namespace status
