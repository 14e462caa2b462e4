// Forbidden: ports includes nothing of the project.
#include "options/option_table.h"
#include <string>
