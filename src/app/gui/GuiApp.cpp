#include "app/gui/GuiApp.h"

#include "app/ProcessRequests.h"
#include "app/Scheduler.h"
#include "app/SingleInstance.h"
#include "app/gui/LatencyProbe.h"
#include "app/gui/uFrmPrincipal.h"
#include "app/uPrincipal.h"

#include <QApplication>
#include <cstdio>

int runGui(TSingleInstance& instance) {
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
    // A second start in the same folder shows this window instead of running twice.
    QObject::connect(&instance, &TSingleInstance::showRequested, &frmPrincipal, [&frmPrincipal] {
        std::fputs("korvanta-sync: window shown at the request of a second start\n", stderr);
        frmPrincipal.restauraClick();
    });
    instance.listen(TSingleInstance::Role::Window);
    frmPrincipal.FormCreate();
    const auto probe = LatencyProbe::fromEnvironment(); // only with KORVANTA_GUI_PROBE set
    const int status = QApplication::exec();
    core.scheduler().habilTimer(0);
    return status;
}
