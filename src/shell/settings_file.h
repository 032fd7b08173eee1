#pragma once

// The settings file is read by the command line as well, so it lives in the core.
#include "store/settings_file.h"
