#pragma once
// The status report's look into the ERP: per register, how many tickets and
// cancellations wait to be sent (flag 1) or were refused by the service (flag 3),
// and since when the oldest of them waits.

#include "app/StatusFigures.h"

#include <QString>
#include <optional>
#include <vector>

namespace status {

// Connects to `database` with the data module's login, reads the figures and
// disconnects, changing nothing. With `companyCode` only that company's rows
// count, as in the sales upload. Registers come in their number's order.
// Throws ConnectionError or DatabaseError.
[[nodiscard]] std::vector<RegisterFigures> readErp(const QString& database,
                                                   const std::optional<QString>& companyCode);

} // namespace status
