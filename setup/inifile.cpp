#include "setup/inifile.h"
