#pragma once

// Copies the running executable into the temporary directory and starts the copy
// with "/run" and this executable's directory. Returns the process exit code.
int RelaunchFromTemp();
