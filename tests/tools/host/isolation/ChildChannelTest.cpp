// The plug-in in a child shares its pipes, knows the messages' format and can guess the length
// of the run's secret: only a line with the whole secret may count as the host's.
#include <gtest/gtest.h>

#include <string>

#include "ChildChannel.h"

using vsthost::ChildChannel;

TEST(ChildChannel, TakesOnlyLinesThatCarryThisRunsWholeSecret) {
    const std::string secret = ChildChannel::makeSecret();
    ASSERT_EQ(secret.size(), 32u);
    EXPECT_EQ(secret.find_first_not_of("0123456789abcdef"), std::string::npos) << secret;
    EXPECT_NE(ChildChannel::makeSecret(), secret) << "a secret the next run shares is none";

    ChildChannel::setSecret(secret);
    const std::string marker(1, ChildChannel::kMarker);
    ChildChannel::Kind kind{};
    std::string name;
    std::string detail;
    ASSERT_TRUE(ChildChannel::parse(marker + secret + "F\tstate\tprogram 1 is current", kind, name, detail));
    EXPECT_EQ(kind, ChildChannel::kFail);
    EXPECT_EQ(name, "state");
    EXPECT_EQ(detail, "program 1 is current");

    std::string lastWrong = secret;
    lastWrong.back() = lastWrong.back() == '0' ? '1' : '0';
    for (const std::string& forged : {marker + "P\tstate\t", marker + lastWrong + "P\tstate\t",
                                      marker + secret.substr(0, 31) + "P\tstate\t", marker + secret + "0P\tstate\t",
                                      secret + "P\tstate\t", marker + secret + "P state"}) {
        EXPECT_FALSE(ChildChannel::parse(forged, kind, name, detail)) << forged;
    }
    // Before a run has its secret, nothing is a message.
    ChildChannel::setSecret("");
    EXPECT_FALSE(ChildChannel::parse(marker + "P\tstate\t", kind, name, detail));
}
