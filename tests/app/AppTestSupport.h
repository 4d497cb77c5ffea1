#pragma once
// Shared by the shell's tests: a Qt application for the whole test program, a
// program folder of its own with a settings file, a manual clock, and waiting
// for a signal in the real event loop.

#include "support/Clock.h"
#include "support/fixtures/TestPaths.h"

#include <QDateTime>
#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

// Readable texts in the failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (const QString& text : list)
        *os << " \"" << text.toStdString() << '"';
    *os << " }";
}

class TMemTable;
class TPrincipal;

namespace apptest {

using Settings = QList<QPair<QString, QString>>;

// The program's folder (--dir) with configAPI.ini holding `settings`, and a
// manual clock standing at `start`; both are undone at the end of the test.
class ShellTest : public ::testing::Test {
  protected:
    ShellTest();
    ~ShellTest() override;

    // (Re)writes configAPI.ini, section CONF, in Windows-1252 with CR LF.
    void writeSettings(const Settings& settings);
    [[nodiscard]] QString dir() const; // ends with the separator

    TempFolder folder;
    ManualClock clock{QDateTime(QDate(2023, 4, 10), QTime(9, 0, 0))};
};

// The rows of the log, each "Operacao|Mensagem".
[[nodiscard]] QStringList rows(const TMemTable& tblList);
// Only the operations of the rows.
[[nodiscard]] QStringList operations(const TMemTable& tblList);

// The texts of the error display, as the core hands them out.
class ErrorSpy {
  public:
    explicit ErrorSpy(TPrincipal& core);
    QStringList texts;

  private:
    QObject m_context;
};

// Runs the event loop until `sender` emits `signal` (true) or a generous
// safety limit passes (false). Never used to measure time.
template <typename Sender, typename Signal> bool waitFor(Sender* sender, Signal signal, int limitMs = 20000) {
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    loop.exec();
    return limit.isActive();
}

} // namespace apptest
