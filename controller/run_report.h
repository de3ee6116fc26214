#pragma once

#include "controller/run_counts.h"

#include <string>

// The plain-text report of a run: one "key value" per line, a list as one line per
// item with the same key, bytes as upper-case hex pairs.
std::string FormatReport(const RunCounts& counts);
// Reads a report back; throws std::runtime_error on a line it does not know.
RunCounts ParseReport(const std::string& text);
