#include "app/gui/TrayIcon.h"

TTrayIcon::TTrayIcon(const QIcon& icon, const QString& tip, QObject* parent) : QObject(parent) {
    restaura = PopupMenu1.addAction(QStringLiteral("Restaurar programa - Korvanta"));
    N1 = PopupMenu1.addSeparator();
    sair = PopupMenu1.addAction(QStringLiteral("Sair do sistema"));
    connect(restaura, &QAction::triggered, this, &TTrayIcon::restoreRequested);
    connect(sair, &QAction::triggered, this, &TTrayIcon::quitRequested);

    m_icon.setIcon(icon);
    m_icon.setToolTip(tip);
    m_icon.setContextMenu(&PopupMenu1);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TTrayIcon::onActivated);

    m_retry.setSingleShot(true);
    m_retry.setInterval(IntervaloTentativa);
    connect(&m_retry, &QTimer::timeout, this, &TTrayIcon::tenta);
}

void TTrayIcon::start() {
    m_restantes = Tentativas;
    tenta();
}

void TTrayIcon::tenta() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon.show();
        return;
    }
    if (m_restantes > 0) {
        --m_restantes;
        m_retry.start();
        return;
    }
    emit unavailable();
}

void TTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    // The menu of the right button is opened by the shell through setContextMenu.
    if (reason == QSystemTrayIcon::DoubleClick) restaura->trigger();
}
