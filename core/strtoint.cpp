#include "core/strtoint.h"
