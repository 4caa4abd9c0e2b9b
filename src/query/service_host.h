#pragma once

#include "common/text.h"

// host[:port] of the batch-lookup service: the environment variable ZARKEL_SERVICE_HOST when
// it is set and not empty, else the value built into the program.
Text ServiceHost();
