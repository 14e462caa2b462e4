#pragma once

class QAccessibleEvent;

namespace vantu {

// Makes the launcher window speak to screen readers (AT-SPI) as the layout's accessible design
// says: the window is a frame named by its title whose children are the visible controls only
// (no hidden control, no decoration), a pressable label ("<<") is a button with its own name and
// a Press action that clicks it, and the display-mode list offers its current entry as text, where
// screen readers such as Orca find its value. Installs a factory for Qt's accessibility; once per
// process, before the window is made.
void installAccessibility();

// Where the launcher's own accessibility reports go (a new entry of the display-mode list):
// QAccessible::updateAccessibility, which drops them while no screen reader listens, unless a
// test gives another receiver.
using AccessibilityReports = void (*)(QAccessibleEvent* event);
void setAccessibilityReports(AccessibilityReports receiver);

}  // namespace vantu
