#pragma once
// The activity journal: every row of the activity log, with its whole texts,
// appended to a daily file in the month's log folder (see JournalLine.h for the
// line and the file name). Each row opens the file, appends its line and closes
// it, so nothing is held open and a file removed or moved meanwhile is simply
// made anew. A file the journal makes is read and written by its owner alone.
//
// Writing never throws. A row that cannot be written (folder missing, disk full,
// not writable) is lost; append() hands back the failure's text only for the
// first failure after a success (or after the start), so the caller reports a
// broken journal once, and again only once it has worked in between.
//
// Rows that come before the log folder is known (the start-up settles it) wait,
// at most kPendingRows of them, and go in front of the next row written.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class TJournal {
  public:
    static constexpr std::size_t kPendingRows = 200;

    // `folder` tells the month's log folder, ending with the separator; empty
    // while it is not known.
    explicit TJournal(std::function<QString()> folder);

    // Appends one row; the text to report when this write failed and the one
    // before it did not; std::nullopt otherwise.
    [[nodiscard]] std::optional<QString> append(const QDateTime& when, const QString& operation,
                                                const QString& message) noexcept;

    // The file that rows of `day` go to ("" while the folder is not known).
    [[nodiscard]] QString filePath(const QDate& day) const;

  private:
    // Appends `bytes` to the file of `day`; the failure's text, or "" when written.
    [[nodiscard]] QString write(const QDate& day, const QByteArray& bytes) const;

    std::function<QString()> m_folder;
    std::vector<std::pair<QDate, QByteArray>> m_pending;
    bool m_failing = false;
};
