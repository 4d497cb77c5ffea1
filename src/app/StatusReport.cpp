#include "app/StatusReport.h"

#include "api/RequestFrame.h"
#include "app/StatusErp.h"
#include "app/StatusJournal.h"
#include "app/StatusJson.h"
#include "app/StatusText.h"
#include "app/StatusVerdict.h"
#include "config/IniText.h"
#include "config/Settings.h"
#include "support/Clock.h"
#include "support/Errors.h"
#include "support/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <exception>

namespace status {

namespace {

void print(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// Why the settings file cannot be used; empty when it can.
QString settingsProblem(const QString& path) {
    if (!QFileInfo::exists(path)) return QStringLiteral("settings file %1 not found").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("settings file %1 cannot be read: %2").arg(path, file.errorString());
    const IniText ini = IniText::parse(file.readAll());
    if (ini.value(QString::fromLatin1(TConfig::Section), QStringLiteral("PATH DOLVEX")).isEmpty())
        return QStringLiteral("settings file %1 names no ERP database (PATH DOLVEX in section [%2])")
            .arg(path, QString::fromLatin1(TConfig::Section));
    return {};
}

Report gather() {
    Report report;
    report.checkedAt = appClock().now();
    report.version = QString::fromLatin1(api::kVersao);
    report.workingFolder = platform::baseDir();
    report.settingsFile = report.workingFolder + QString::fromLatin1(TConfig::FileName);
    report.journal = readJournal(report.workingFolder);
    report.settingsProblem = settingsProblem(report.settingsFile);
    if (!report.settingsProblem.isEmpty()) return report;

    TConfig settings(report.settingsFile);
    settings.LoadConfig();
    report.database = settings.values().pathBDDolvex;
    report.baseUrl = api::coleta_Url_Base(1, {settings.values().urlBase, settings.values().urlBase2,
                                              settings.values().urlBase3, settings.values().urlBase4});
    report.companyFilter = settings.values().usaCodEmpDolvex;
    report.companyCode = settings.values().codEmpDolvex.text();
    report.lastClosedText = settings.values().dataUltFecha;
    report.lastClosedDay = QDate::fromString(report.lastClosedText, QStringLiteral("dd/MM/yyyy"));
    if (report.lastClosedDay.isValid())
        report.closingDaysBehind = static_cast<int>(
            std::max<qint64>(0, report.lastClosedDay.daysTo(report.checkedAt.date().addDays(-1))));

    report.databaseChecked = true;
    try {
        report.registers =
            readErp(report.database, report.companyFilter ? std::optional(report.companyCode) : std::nullopt);
    } catch (const AppError& e) {
        report.databaseError = e.message();
    }
    return report;
}

} // namespace

int run(const Options& options, std::FILE* out, std::FILE* err) {
    try {
        const Report report = gather();
        const Thresholds thresholds{options.warnAgeMinutes, options.critAgeMinutes};
        const Verdict verdict = judge(report, thresholds);
        print(out, options.json ? reportJson(report, verdict, thresholds)
                                : reportText(report, verdict, thresholds).toUtf8());
        if (!report.settingsProblem.isEmpty()) print(err, (report.settingsProblem + u'\n').toUtf8());
        if (!report.databaseError.isEmpty()) print(err, (report.databaseError + u'\n').toUtf8());
        return static_cast<int>(verdict.state);
    } catch (const std::exception& e) {
        const QByteArray line = QByteArray("KORVANTA UNKNOWN - ") + e.what() + '\n';
        print(out, line);
        print(err, line);
    } catch (...) {
        print(out, "KORVANTA UNKNOWN - unexpected failure\n");
    }
    return static_cast<int>(State::Unknown);
}

} // namespace status
