#pragma once
// The status report's judgement, by the monitoring plugins' convention:
//
//   UNKNOWN  (3)  the settings file is missing, unreadable or names no database
//   CRITICAL (2)  the ERP database cannot be reached (or a reading fails);
//                 a ticket or cancellation pending longer than the critical age
//   WARNING  (1)  one pending longer than the warning age; refused tickets or
//                 cancellations (flag 3); the daily closing more than one day
//                 behind, or its last closed day not a date; a task whose newest
//                 outcome in the journal is a failure; no journal at all, or no
//                 row in it for longer than the warning age
//   OK       (0)  none of these
//
// The age of a pending row runs from its data_cupom and hora; a row known by
// its day alone (every cancellation, a ticket without hora) counts from the end
// of that day, so it is never judged older than it can be.

#include "app/StatusFigures.h"

#include <QString>
#include <optional>
#include <vector>

namespace status {

enum class State { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

struct Thresholds {
    int warnAgeMinutes = 30;
    int critAgeMinutes = 120;
};

struct Problem {
    State state;
    QString text;
};

struct Verdict {
    State state = State::Ok;
    std::vector<Problem> problems; // the worst first
};

// "OK", "WARNING", "CRITICAL", "UNKNOWN".
[[nodiscard]] QString stateName(State state);

// Minutes a pending row has waited at `now` (0 for a row from the future);
// std::nullopt without rows.
[[nodiscard]] std::optional<qint64> pendingAgeMinutes(const FlagFigures& figures, const QDateTime& now);
// The oldest pending row of all registers, tickets and cancellations.
[[nodiscard]] std::optional<qint64> oldestPendingAgeMinutes(const Report& report);

[[nodiscard]] Verdict judge(const Report& report, const Thresholds& thresholds);

} // namespace status
