#include "firmware/GPSUpdateThread.h"
