#include "backends/sim/inside_simulator.h"

static thread_local bool inside = false;

bool InsideSimulator()
{
    return inside;
}

SimulatorScope::SimulatorScope(bool insideNow) : outer_(inside)
{
    inside = insideNow;
}

SimulatorScope::~SimulatorScope()
{
    inside = outer_;
}
