#pragma once

#include "controller/controller_session.h"
#include "world/run_counts.h"

#include <string>

// The plain-text report of a run: one "key value" per line, a list as one line per
// item with the same key, bytes as upper-case hex pairs.
std::string FormatReport(const RunCounts& counts);
// Reads a report back; throws std::runtime_error on a line it does not know.
RunCounts ParseReport(const std::string& text);
// The report's controller side: its requests, records and flash.
void ReportController(const ControllerSession& controller, RunCounts& counts);
// The whole report of a run with this controller alone on a link: those, with the frames it
// received and the messages it sent.
RunCounts LinkReport(const ControllerSession& controller);
