// Random setting data for wire-record round trips: FillRandomRecordable, FirstRecordDifference.
#pragma once

#include "support/random_setting.h"
