#pragma once
// TTrayIcon: the notification-area icon with its menu PopupMenu1:
// "Restaurar programa - Korvanta" (restaura), a separator (N1), "Sair do sistema" (sair).
// A double click restores the window as the menu item does; a single click does
// nothing; the right button opens the menu. When the system tray is not up yet
// (a session still starting), the icon tries again 5 times, 5 seconds apart;
// after the last attempt fails it reports unavailable(), and the program runs
// on without an icon (the main window then keeps itself on the taskbar).

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class TTrayIcon : public QObject {
    Q_OBJECT

  public:
    static constexpr int Tentativas = 5;            // further attempts after the first
    static constexpr int IntervaloTentativa = 5000; // ms between attempts

    explicit TTrayIcon(const QIcon& icon, const QString& tip, QObject* parent = nullptr);

    // Shows the icon, or schedules the attempts when there is no system tray yet.
    void start();
    [[nodiscard]] bool isShown() const { return m_icon.isVisible(); }
    [[nodiscard]] int attemptsLeft() const { return m_restantes; }
    // The time between attempts, IntervaloTentativa unless set (tests shorten it);
    // an attempt already waiting is rescheduled with the new interval.
    void setRetryInterval(int ms) { m_retry.setInterval(ms); }

    QMenu PopupMenu1;
    QAction* restaura = nullptr;
    QAction* N1 = nullptr;
    QAction* sair = nullptr;

    // The shell's report of a mouse event on the icon.
    void onActivated(QSystemTrayIcon::ActivationReason reason);

  signals:
    void restoreRequested(); // restauraClick
    void quitRequested();    // "Sair do sistema": the window asks, then sairClick
    void unavailable();      // the last attempt found no system tray either

  private:
    void tenta();

    QSystemTrayIcon m_icon;
    QTimer m_retry;
    int m_restantes = Tentativas;
};
