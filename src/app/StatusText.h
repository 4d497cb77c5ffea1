#pragma once
// The status report as text for people and monitoring agents: its first line is
// the plugin summary ("KORVANTA OK - ..." with the figures as performance data
// after "|"), then the details.

#include "app/StatusFigures.h"
#include "app/StatusVerdict.h"

#include <QString>

namespace status {

// "KORVANTA <STATE> - <problems, or the figures when there is none>", without perfdata.
[[nodiscard]] QString summary(const Report& report, const Verdict& verdict);
// The whole text, lines ended by a line feed.
[[nodiscard]] QString reportText(const Report& report, const Verdict& verdict, const Thresholds& thresholds);

// Sums over the registers.
struct RowTotals {
    qint64 ticketsPending = 0;
    qint64 ticketsRefused = 0;
    qint64 cancellationsPending = 0;
    qint64 cancellationsRefused = 0;
};
[[nodiscard]] RowTotals totals(const Report& report);

} // namespace status
