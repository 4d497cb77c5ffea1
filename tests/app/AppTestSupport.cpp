#include "AppTestSupport.h"

#include "support/Codepage.h"
#include "support/Platform.h"
#include "support/fixtures/CoreParts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// One QCoreApplication for the whole test program; the timers run on a
// thousandth of their intervals, so a 10 s tick comes after 10 ms.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        m_app = new QCoreApplication(argc, argv);
        TScheduler::setTimerScale(0.001);
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

  private:
    QCoreApplication* m_app = nullptr;
};

[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

namespace apptest {

ShellTest::ShellTest() {
    platform::setBaseDir(folder.path());
    setAppClock(&clock);
}

ShellTest::~ShellTest() {
    setAppClock(nullptr);
    platform::setBaseDir(QString());
}

QString ShellTest::dir() const {
    return platform::baseDir();
}

void ShellTest::writeSettings(const Settings& settings) {
    QString text = QStringLiteral("[CONF]\r\n");
    for (const auto& [key, value] : settings)
        text += key + u'=' + value + QStringLiteral("\r\n");
    QFile file(dir() + QStringLiteral("configAPI.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ansi::fromUnicode(text));
}

ErrorSpy::ErrorSpy(TPrincipal& core) {
    QObject::connect(&core.errors(), &TErrorDisplay::errorRaised, &m_context,
                     [this](const QString& text) { texts << text; });
    // Notices (a journal that cannot be written) go to the same display.
    QObject::connect(&core.log(), &TActivityLog::noticeRaised, &m_context,
                     [this](const QString& text) { texts << text; });
}

QStringList rows(const TMemTable& tblList) {
    QStringList result;
    for (int r = 0; r < tblList.RecordCount(); ++r)
        result << tblList.cell(r, 0).toString() + u'|' + tblList.cell(r, 3).toString();
    return result;
}

QStringList operations(const TMemTable& tblList) {
    QStringList result;
    for (int r = 0; r < tblList.RecordCount(); ++r)
        result << tblList.cell(r, 0).toString();
    return result;
}

} // namespace apptest
