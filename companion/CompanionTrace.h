#pragma once

// Appends the name of an entry point to the file named by PELICAST_COMPANION_TRACE, one
// line per call, so that a test can see which calls the program made and how often. Without
// that variable nothing is written.
void traceCompanionCall(const char *entryPoint);
