// The extraction pump: one bounded step of reading the payload per call.
#pragma once

enum { PUMP_BUDGET = 15000 };

int pumpStep();   // Yield, Done, Failed or BackToOptions
