// A test module that loads as a library but exports no plug-in entry point.
#include "TestExport.h"

extern "C" TEST_EXPORT int notAnEntryPoint() { return 42; }
