#include "UiTestSupport.h"

#include "support/Codepage.h"
#include "support/Platform.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The offscreen platform's screens for the widget tests: a large first screen,
// which holds the main window at its designed size, and a small second one.
constexpr const char* Telas = R"({"screens": [
    {"name": "principal", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96},
    {"name": "pequena", "x": 1280, "y": 0, "width": 800, "height": 600, "logicalDpi": 96}]})";

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (platform.isEmpty() || platform == "offscreen") {
            QFile config(m_config.filePath(QStringLiteral("screens.json")));
            if (config.open(QIODevice::WriteOnly)) config.write(Telas);
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
        }
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        TScheduler::setTimerScale(1000); // no tick while a widget test runs
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

  private:
    QTemporaryDir m_config;
    QApplication* m_app = nullptr;
};

[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

namespace uitest {

WindowTest::WindowTest() {
    platform::setBaseDir(folder.path());
    setAppClock(&clock);
}

WindowTest::~WindowTest() {
    window.reset();
    engine.reset();
    setAppClock(nullptr);
    platform::setBaseDir(QString());
}

QString WindowTest::iniPath() const {
    return platform::baseDir() + QStringLiteral("configAPI.ini");
}

void WindowTest::writeSettings(const Settings& settings) {
    QString text = QStringLiteral("[CONF]\r\n");
    for (const auto& [key, value] : settings)
        text += key + u'=' + value + QStringLiteral("\r\n");
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ansi::fromUnicode(text));
}

void WindowTest::start() {
    engine = std::make_unique<TEngine>();
    window = std::make_unique<TfrmPrincipal>(*engine);
    window->FormCreate();
    sync();
}

void WindowTest::onEngine(const TEngine::Work& work) {
    engine->call(work);
    settle();
}

void WindowTest::sync() {
    onEngine([](TPrincipal&) {});
}

QScreen* smallScreen() {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String("pequena")) return screen;
    return nullptr;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

} // namespace uitest
