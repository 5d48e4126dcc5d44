#include "firmware/NmeaDecoder.h"
