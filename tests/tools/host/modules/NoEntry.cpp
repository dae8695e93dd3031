// A test module that loads as a library but exports no plug-in entry point.
#if defined(_WIN32)
#define TEST_EXPORT __declspec(dllexport)
#else
#define TEST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TEST_EXPORT int notAnEntryPoint() { return 42; }
