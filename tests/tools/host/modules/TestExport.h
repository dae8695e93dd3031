#pragma once
// What a test module's entry point needs to be found by name, as a real plug-in's is.

#if defined(_WIN32)
#define TEST_EXPORT __declspec(dllexport)
#else
#define TEST_EXPORT __attribute__((visibility("default")))
#endif
