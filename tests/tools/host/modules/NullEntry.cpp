// A test module whose entry point exists but answers null, as a plug-in refusing the host does.
#include "AEffect.h"

#include "TestExport.h"

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) { return nullptr; }
