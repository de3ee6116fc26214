#pragma once

// Ports of the system's own software synthesizers and mappers, never the device: an update passes
// over them, and the device list says so.
bool IsSystemPort(const char* name);
