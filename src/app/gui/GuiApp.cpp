#include "app/gui/GuiApp.h"

#include "app/Engine.h"
#include "app/ProcessRequests.h"
#include "app/SingleInstance.h"
#include "app/gui/LatencyProbe.h"
#include "app/gui/uFrmPrincipal.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int runGui(TSingleInstance& instance) {
    // Hiding the last window must not end the program; only the menu and the
    // button do.
    QApplication::setQuitOnLastWindowClosed(false);
    TEngine engine;
    TfrmPrincipal frmPrincipal(engine);
    // A session that ends sends SIGTERM: the program ends as "Sair do sistema" does.
    // SIGHUP applies the settings anew.
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
    // A request waiting for the service is aborted and the task at work ends at
    // its next step. Work that still does not end (a database that stopped
    // answering) must not keep the program: it ends without it.
    if (!engine.stop(TEngine::StopWaitMs)) {
        std::fputs("korvanta-sync: the task at work did not end in time; ending without it\n", stderr);
        std::fflush(stderr);
        std::_Exit(status);
    }
    return status;
}
