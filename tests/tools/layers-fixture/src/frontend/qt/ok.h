// Allowed: a front end includes anything.
#include <QApplication>
#include "platform/linux/arguments.h"
