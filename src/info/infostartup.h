#pragma once

#include "startup/startupsequence.h"

// The start-up's loads of the information windows: the MARC index parameters and the reader
// display captions (LT/LT_reader.ini).
StartupLoads LIB_InformationStartupLoads();
