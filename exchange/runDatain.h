#pragma once
#include "exchange/JournalCsvScreen.h"
