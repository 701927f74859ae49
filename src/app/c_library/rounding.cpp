// The C library's lround, by its C name.
#include "c_library/rounding.h"

extern "C" long lround(double value) { return c_library::RoundToLong(value); }
