#pragma once
// Reading the activity journal back, newest row first, across the month folders
// of a working folder: <working folder>/Korvanta/log/Ano<year>_<month>/Atividade_<day>.txt.
//
// A program that runs into a new month keeps writing into the folder of the
// month it started in, so one day can have a file in two month folders; the
// rows of one day are taken from all its files and put in the order of their
// time (the order of the lines for rows of the same second).

#include "app/JournalLine.h"

#include <QString>
#include <functional>

namespace journal {

class Reader {
  public:
    // `workingFolder` ends with the separator; at most `maxDays` days (files of
    // one day count once) are read, the newest.
    Reader(QString workingFolder, int maxDays);

    // Hands every row to `visit`, newest first, until it answers false or the
    // rows (or the days allowed) run out. Unreadable files and lines that are not
    // rows are passed over. Answers the number of days read.
    int readBackwards(const std::function<bool(const Row&)>& visit) const;

    // The log root: <working folder>/Korvanta/log/
    [[nodiscard]] QString logRoot() const;

  private:
    QString m_workingFolder;
    int m_maxDays;
};

} // namespace journal
