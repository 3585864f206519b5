#include "setup/matrixdb.h"
