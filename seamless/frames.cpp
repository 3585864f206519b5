#include "seamless/frames.h"
