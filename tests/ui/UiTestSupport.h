#pragma once
// Shared by the widget tests: a QApplication for the whole test program (the
// offscreen platform, with a screen of 1280 x 1024 and one of 800 x 600 beside
// it), a program folder of its own with a settings file, a manual clock, and a
// started engine with its main window. The core lives on the engine thread: a
// test reaches it through onEngine(), which also lets the window take what the
// engine told meanwhile.

#include "app/gui/uFrmPrincipal.h"
#include "support/Clock.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/TestPaths.h"

#include <QList>
#include <QPair>
#include <QScreen>
#include <QString>
#include <QStringList>
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

#include <memory>

namespace uitest {

using Settings = QList<QPair<QString, QString>>;

class WindowTest : public ::testing::Test {
  protected:
    WindowTest();
    ~WindowTest() override;

    // (Re)writes configAPI.ini, section CONF, in Windows-1252 with CR LF.
    void writeSettings(const Settings& settings);
    [[nodiscard]] QString iniPath() const;
    // Creates the engine and the main window and runs the start-up.
    void start();
    // Runs `work` on the engine thread and waits for it; then the window takes
    // what the engine told (rows, state, diagnostics).
    void onEngine(const TEngine::Work& work);
    // The window takes what the engine told after the work it was given.
    void sync();

    TempFolder folder;
    ManualClock clock{QDateTime(QDate(2023, 4, 10), QTime(9, 0, 0))};
    std::unique_ptr<TEngine> engine;
    std::unique_ptr<TfrmPrincipal> window;
};

// Lets the event loop run what is waiting (shows, activations, paints).
void settle();

// The offscreen screen of 800 x 600 beside the main one.
[[nodiscard]] QScreen* smallScreen();

} // namespace uitest
