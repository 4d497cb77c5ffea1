#pragma once
// The tray program: the core, the hidden main window and the notification icon,
// then the event loop until the operator ends the program.
// A QApplication must exist before the call.

[[nodiscard]] int runGui();
