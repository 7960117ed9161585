#pragma once
// What hashing a byte costs each algorithm of the catalogue on this machine,
// measured once per process on a small buffer: the costs differ with the
// processor's instructions (hardware SHA, a portable build), so a fixed table
// would balance lanes for one machine only.
#include <string>

// Seconds per byte; for a name the catalogue does not hold, the mean of the
// catalogue's algorithms.
double HashCostPerByte(const std::wstring& algorithmName);
