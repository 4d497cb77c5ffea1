#include "app/gui/GuiApp.h"

#include "app/ProcessRequests.h"
#include "app/gui/uFrmPrincipal.h"
#include "app/uPrincipal.h"

#include <QApplication>

int runGui() {
    // Hiding the last window must not end the program; only the menu and the
    // button do.
    QApplication::setQuitOnLastWindowClosed(false);
    TPrincipal core;
    TfrmPrincipal frmPrincipal(core);
    // A session that ends sends SIGTERM: the program ends as "Sair do sistema" does,
    // after the task at work. SIGHUP applies the settings anew.
    TProcessRequests requests;
    QObject::connect(&requests, &TProcessRequests::endRequested, &frmPrincipal, &TfrmPrincipal::sairClick);
    QObject::connect(&requests, &TProcessRequests::reloadRequested, &frmPrincipal,
                     &TfrmPrincipal::FormActivate);
    frmPrincipal.FormCreate();
    const int status = QApplication::exec();
    core.habilTimer(0);
    return status;
}
