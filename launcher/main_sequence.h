#pragma once

// The launcher from start to end: shows the progress window, extracts the
// archive into the temporary folder, runs the configured program, waits
// for it and deletes what was extracted. Returns the exit code.
unsigned RunLauncher();
