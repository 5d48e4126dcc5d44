#pragma once

#include "link/Worker.h"
