#include "app/Journal.h"

#include "app/JournalLine.h"

#include <QFile>

TJournal::TJournal(std::function<QString()> folder) : m_folder(std::move(folder)) {}

QString TJournal::filePath(const QDate& day) const {
    const QString folder = m_folder();
    return folder.isEmpty() ? QString() : folder + journal::fileName(day);
}

QString TJournal::write(const QDate& day, const QByteArray& bytes) const {
    const QString path = filePath(day);
    QFile file(path);
    const auto failure = [&] {
        return QStringLiteral("Unable to write the activity journal %1: %2").arg(path, file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return failure();
    const qint64 before = file.size();
    // The buffer is flushed and checked here: a full disk shows at the flush.
    if (file.write(bytes) == bytes.size() && file.flush()) return {};
    const QString text = failure();
    // A line cut by the full disk would join the next row's line.
    file.resize(before);
    return text;
}

std::optional<QString> TJournal::append(const QDateTime& when, const QString& operation,
                                        const QString& message) noexcept {
    try {
        std::pair<QDate, QByteArray> row{when.date(), journal::line(when, operation, message)};
        if (m_folder().isEmpty()) {
            if (m_pending.size() < kPendingRows) m_pending.push_back(std::move(row));
            return std::nullopt;
        }
        QString failure;
        std::vector<std::pair<QDate, QByteArray>> rows;
        rows.swap(m_pending);
        rows.push_back(std::move(row));
        // Rows of one day go in one write.
        for (std::size_t i = 0; i < rows.size() && failure.isEmpty();) {
            QByteArray bytes;
            const QDate day = rows[i].first;
            for (; i < rows.size() && rows[i].first == day; ++i)
                bytes += rows[i].second;
            failure = write(day, bytes);
        }
        if (failure.isEmpty()) {
            m_failing = false;
            return std::nullopt;
        }
        if (m_failing) return std::nullopt;
        m_failing = true;
        return failure;
    } catch (...) {
        // Out of memory: the row is lost, the program goes on.
        return std::nullopt;
    }
}
