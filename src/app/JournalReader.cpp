#include "app/JournalReader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace journal {

namespace {

// The month folders, oldest month first.
std::vector<QString> monthFolders(const QString& logRoot) {
    static const QRegularExpression name(QStringLiteral("^Ano(\\d{4})_(\\d{1,2})$"));
    std::vector<std::pair<int, QString>> found;
    const QStringList entries = QDir(logRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QRegularExpressionMatch m = name.match(entry);
        if (m.hasMatch()) found.emplace_back(m.captured(1).toInt() * 100 + m.captured(2).toInt(), entry);
    }
    std::sort(found.begin(), found.end());
    std::vector<QString> folders;
    for (const auto& [month, entry] : found)
        folders.push_back(logRoot + entry + u'/');
    return folders;
}

// The rows of one day's files, in time order.
std::vector<Row> rowsOfDay(const std::vector<QString>& files) {
    std::vector<Row> rows;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines)
            if (std::optional<Row> row = parse(line)) rows.push_back(std::move(*row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.when < b.when; });
    return rows;
}

} // namespace

Reader::Reader(QString workingFolder, int maxDays)
    : m_workingFolder(std::move(workingFolder)), m_maxDays(maxDays) {}

QString Reader::logRoot() const {
    return m_workingFolder + QStringLiteral("Korvanta/log/");
}

int Reader::readBackwards(const std::function<bool(const Row&)>& visit) const {
    // Every day's files, the older month folder first.
    std::map<QDate, std::vector<QString>> days;
    for (const QString& folder : monthFolders(logRoot())) {
        const QStringList names = QDir(folder).entryList({QStringLiteral("Atividade_*.txt")}, QDir::Files);
        for (const QString& name : names)
            if (const std::optional<QDate> day = dayOfFile(name)) days[*day].push_back(folder + name);
    }
    int read = 0;
    for (auto day = days.rbegin(); day != days.rend() && read < m_maxDays; ++day) {
        ++read;
        const std::vector<Row> rows = rowsOfDay(day->second);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            if (!visit(*row)) return read;
    }
    return read;
}

} // namespace journal
