#pragma once
// What the status report (--status) finds: the ERP's pending and refused rows
// per register, the daily closing's backlog, what the activity journal tells of
// each task, and the settings it read. StatusReport.cpp gathers them,
// StatusVerdict.cpp judges them, StatusText.cpp and StatusJson.cpp print them.

#include "app/JournalLine.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <array>
#include <optional>
#include <vector>

namespace status {

// The rows of one flag in one table of one register.
struct FlagFigures {
    qint64 rows = 0;
    QDate oldestDay;  // invalid without rows
    QTime oldestTime; // invalid when only the day is known (cancellations, tickets without hora)
};

struct RegisterFigures {
    int cashRegister = 0;
    FlagFigures ticketsPending;       // cupom_fiscal.sinc_korvanta = 1
    FlagFigures ticketsRefused;       // cupom_fiscal.sinc_korvanta = 3
    FlagFigures cancellationsPending; // KORVANTA_DELETE.sinc_korv = 1
    FlagFigures cancellationsRefused; // KORVANTA_DELETE.sinc_korv = 3
};

// The tasks whose outcome the journal tells.
enum class Task { Sales, Closing, Promotions, Resend };
inline constexpr std::array<Task, 4> kTasks{Task::Sales, Task::Closing, Task::Promotions, Task::Resend};

struct TaskHistory {
    std::optional<journal::Row> lastSuccess;
    std::optional<journal::Row> lastFailure;
    bool failedLast = false; // the newer of the two is the failure
};

struct JournalFindings {
    std::array<TaskHistory, kTasks.size()> tasks;
    std::optional<journal::Row> lastError; // the newest "Erro na operação", of any origin
    std::optional<journal::Row> newestRow;
    int daysRead = 0;
};

struct Report {
    QDateTime checkedAt;
    QString version;
    QString workingFolder;
    QString settingsFile;
    QString settingsProblem; // not empty: the settings could not be used
    // From the settings.
    QString database;
    QString baseUrl; // the first configured base URL
    bool companyFilter = false;
    QString companyCode;
    QString lastClosedText; // DataUltFecha as written
    QDate lastClosedDay;    // invalid when that is not a date
    int closingDaysBehind = 0;
    // From the ERP.
    bool databaseChecked = false;
    QString databaseError; // not empty: unreachable, or a statement failed
    std::vector<RegisterFigures> registers;
    // From the journal.
    JournalFindings journal;
};

} // namespace status
