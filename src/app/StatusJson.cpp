#include "app/StatusJson.h"

#include "app/StatusJournal.h"
#include "app/StatusText.h"

namespace status {

// ---- The writer ------------------------------------------------------------------

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_out += ',';
        m_first.back() = false;
    }
}

void JsonWriter::quoted(const QString& text) {
    m_out += '"';
    qsizetype run = 0; // start of the characters that need no escape, written as UTF-8
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u != u'"' && u != u'\\') continue;
        m_out += QStringView(text).sliced(run, i - run).toUtf8();
        run = i + 1;
        switch (u) {
        case u'"':
            m_out += "\\\"";
            break;
        case u'\\':
            m_out += "\\\\";
            break;
        case u'\n':
            m_out += "\\n";
            break;
        case u'\r':
            m_out += "\\r";
            break;
        case u'\t':
            m_out += "\\t";
            break;
        default:
            m_out += QByteArray("\\u") + QByteArray::number(int(u), 16).rightJustified(4, '0');
        }
    }
    m_out += QStringView(text).sliced(run).toUtf8();
    m_out += '"';
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_out += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_out += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const QString& name) {
    beforeValue();
    quoted(name);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(const QString& text) {
    beforeValue();
    quoted(text);
    return *this;
}

JsonWriter& JsonWriter::number(qint64 value) {
    beforeValue();
    m_out += QByteArray::number(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    m_out += "null";
    return *this;
}

// ---- The report ------------------------------------------------------------------

namespace {

const QString kIsoDateTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
const QString kIsoDate = QStringLiteral("yyyy-MM-dd");

void journalRow(JsonWriter& w, const std::optional<journal::Row>& row) {
    if (!row) {
        w.null();
        return;
    }
    w.beginObject()
        .key(QStringLiteral("at"))
        .string(row->when.toString(kIsoDateTime))
        .key(QStringLiteral("operation"))
        .string(row->operation)
        .key(QStringLiteral("message"))
        .string(row->message)
        .endObject();
}

void flags(JsonWriter& w, const FlagFigures& pending, const FlagFigures& refused, const QDateTime& now) {
    w.beginObject();
    w.key(QStringLiteral("pending")).number(pending.rows);
    w.key(QStringLiteral("refused")).number(refused.rows);
    w.key(QStringLiteral("oldestPending"));
    if (pending.rows == 0 || !pending.oldestDay.isValid())
        w.null();
    else if (pending.oldestTime.isValid())
        w.string(QDateTime(pending.oldestDay, pending.oldestTime).toString(kIsoDateTime));
    else
        w.string(pending.oldestDay.toString(kIsoDate));
    w.key(QStringLiteral("oldestPendingAgeMinutes"));
    if (const std::optional<qint64> age = pendingAgeMinutes(pending, now))
        w.number(*age);
    else
        w.null();
    w.endObject();
}

} // namespace

QByteArray reportJson(const Report& report, const Verdict& verdict, const Thresholds& thresholds) {
    JsonWriter w;
    w.beginObject();
    w.key(QStringLiteral("status")).string(stateName(verdict.state));
    w.key(QStringLiteral("exitCode")).number(static_cast<int>(verdict.state));
    w.key(QStringLiteral("summary")).string(summary(report, verdict));
    w.key(QStringLiteral("problems")).beginArray();
    for (const Problem& p : verdict.problems)
        w.beginObject()
            .key(QStringLiteral("state"))
            .string(stateName(p.state))
            .key(QStringLiteral("text"))
            .string(p.text)
            .endObject();
    w.endArray();
    w.key(QStringLiteral("checkedAt")).string(report.checkedAt.toString(kIsoDateTime));
    w.key(QStringLiteral("version")).string(report.version);
    w.key(QStringLiteral("workingFolder")).string(report.workingFolder);
    w.key(QStringLiteral("settingsFile")).string(report.settingsFile);
    w.key(QStringLiteral("thresholds"))
        .beginObject()
        .key(QStringLiteral("warnAgeMinutes"))
        .number(thresholds.warnAgeMinutes)
        .key(QStringLiteral("critAgeMinutes"))
        .number(thresholds.critAgeMinutes)
        .endObject();

    const bool settings = report.settingsProblem.isEmpty();
    w.key(QStringLiteral("database")).beginObject();
    w.key(QStringLiteral("name"));
    settings ? w.string(report.database) : w.null();
    w.key(QStringLiteral("reachable"));
    report.databaseChecked ? w.boolean(report.databaseError.isEmpty()) : w.null();
    w.key(QStringLiteral("error"));
    report.databaseError.isEmpty() ? w.null() : w.string(report.databaseError);
    w.endObject();

    w.key(QStringLiteral("baseUrl")).beginObject().key(QStringLiteral("url"));
    settings ? w.string(report.baseUrl) : w.null();
    w.key(QStringLiteral("source")).string(QStringLiteral("configured")).endObject();
    w.key(QStringLiteral("companyFilter"));
    report.companyFilter ? w.string(QStringLiteral("0") + report.companyCode) : w.null();

    const bool figures = report.databaseChecked && report.databaseError.isEmpty();
    w.key(QStringLiteral("totals"));
    if (figures) {
        const RowTotals sums = totals(report);
        w.beginObject()
            .key(QStringLiteral("ticketsPending"))
            .number(sums.ticketsPending)
            .key(QStringLiteral("ticketsRefused"))
            .number(sums.ticketsRefused)
            .key(QStringLiteral("cancellationsPending"))
            .number(sums.cancellationsPending)
            .key(QStringLiteral("cancellationsRefused"))
            .number(sums.cancellationsRefused)
            .key(QStringLiteral("oldestPendingAgeMinutes"));
        if (const std::optional<qint64> age = oldestPendingAgeMinutes(report))
            w.number(*age);
        else
            w.null();
        w.endObject();
    } else {
        w.null();
    }
    w.key(QStringLiteral("registers"));
    if (figures) {
        w.beginArray();
        for (const RegisterFigures& r : report.registers) {
            w.beginObject().key(QStringLiteral("register")).number(r.cashRegister);
            w.key(QStringLiteral("tickets"));
            flags(w, r.ticketsPending, r.ticketsRefused, report.checkedAt);
            w.key(QStringLiteral("cancellations"));
            flags(w, r.cancellationsPending, r.cancellationsRefused, report.checkedAt);
            w.endObject();
        }
        w.endArray();
    } else {
        w.null();
    }

    w.key(QStringLiteral("closing"));
    if (settings) {
        w.beginObject().key(QStringLiteral("lastClosedDay"));
        report.lastClosedDay.isValid() ? w.string(report.lastClosedDay.toString(kIsoDate)) : w.null();
        w.key(QStringLiteral("lastClosedText")).string(report.lastClosedText);
        w.key(QStringLiteral("daysBehind"));
        report.lastClosedDay.isValid() ? w.number(report.closingDaysBehind) : w.null();
        w.endObject();
    } else {
        w.null();
    }

    const JournalFindings& j = report.journal;
    w.key(QStringLiteral("tasks")).beginObject();
    for (const Task task : kTasks) {
        const TaskHistory& h = j.tasks[static_cast<std::size_t>(task)];
        w.key(taskKey(task)).beginObject().key(QStringLiteral("lastSuccess"));
        journalRow(w, h.lastSuccess);
        w.key(QStringLiteral("lastFailure"));
        journalRow(w, h.lastFailure);
        w.key(QStringLiteral("failedLast")).boolean(h.failedLast).endObject();
    }
    w.endObject();
    w.key(QStringLiteral("lastError"));
    journalRow(w, j.lastError);
    w.key(QStringLiteral("journal")).beginObject().key(QStringLiteral("newestRow"));
    journalRow(w, j.newestRow);
    w.key(QStringLiteral("daysRead")).number(j.daysRead).endObject();
    w.endObject();
    return w.bytes() + '\n';
}

} // namespace status
