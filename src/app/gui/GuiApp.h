#pragma once
// The tray program: the core, the hidden main window and the notification icon,
// then the event loop until the operator ends the program. `instance` holds the
// working folder's lock; a later start asks through it to show the window.
// A QApplication must exist before the call.

class TSingleInstance;

[[nodiscard]] int runGui(TSingleInstance& instance);
