// A test module whose entry point exists but answers null, as a plug-in refusing the host does.
#include "AEffect.h"

#if defined(_WIN32)
#define TEST_EXPORT __declspec(dllexport)
#else
#define TEST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) { return nullptr; }
