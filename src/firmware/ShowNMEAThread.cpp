#include "firmware/ShowNMEAThread.h"
