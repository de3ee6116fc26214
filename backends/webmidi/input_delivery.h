#pragma once

// Lays the SysEx messages that reached each started input into its queued headers, calling the
// program back for each: what Windows' callback thread does, done here as Sleep returns.
void DeliverArrivedInput();
