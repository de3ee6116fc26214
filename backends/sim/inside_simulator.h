#pragma once

// Marks the stretches of a thread that run the simulator's own code rather than the host's,
// so that a measurement of the host's heap use can leave the simulator's out.
bool InsideSimulator();

class SimulatorScope {
public:
    explicit SimulatorScope(bool inside = true);
    ~SimulatorScope();
    SimulatorScope(const SimulatorScope&) = delete;
    SimulatorScope& operator=(const SimulatorScope&) = delete;

private:
    bool outer_;
};
