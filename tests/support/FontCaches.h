#pragma once
// cairo and fontconfig keep the fonts they found for the life of the process; given back at the
// end of a test program, the leak check sees only what the code under test keeps.

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include "FontResource.h"

class FontCaches : public testing::Environment {
    void TearDown() override {
        FontResource::forgetKept();
        cairo_debug_reset_static_data();
        FcFini();
    }
};

inline const testing::Environment* const fontCaches = testing::AddGlobalTestEnvironment(new FontCaches);
