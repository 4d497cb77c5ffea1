#include "app/gui/GuiApp.h"

#include "app/gui/uFrmPrincipal.h"
#include "app/uPrincipal.h"

#include <QApplication>

int runGui() {
    // Hiding the last window must not end the program; only the menu and the
    // button do.
    QApplication::setQuitOnLastWindowClosed(false);
    TPrincipal core;
    TfrmPrincipal frmPrincipal(core);
    frmPrincipal.FormCreate();
    const int status = QApplication::exec();
    core.habilTimer(0);
    return status;
}
