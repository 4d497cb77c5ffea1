#pragma once
// The program's icon (the window's, the notification icon's): drawn, not loaded,
// so it exists on every platform and at every size the shell asks for.

#include <QIcon>

[[nodiscard]] QIcon korvantaIcon();
// The end command's image: a power symbol.
[[nodiscard]] QIcon sairIcon();
// The settings command's image: a gear.
[[nodiscard]] QIcon configIcon();
