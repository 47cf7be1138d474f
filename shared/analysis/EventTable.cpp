#include "shared/analysis/EventTable.h"
