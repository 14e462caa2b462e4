#pragma once

namespace vantu {

// Makes the launcher window speak to screen readers (AT-SPI) as the layout's accessible design
// says: the window is a frame named by its title whose children are the visible controls only
// (no hidden control, no decoration), and a pressable label ("<<") is a button with its own
// name and a Press action that clicks it. Installs a factory for Qt's accessibility; once per
// process, before the window is made.
void installAccessibility();

}  // namespace vantu
