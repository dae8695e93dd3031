#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "CommandPaths.h"

using vsthost::PathArgument;
using Direction = PathArgument::Direction;

namespace {

// The file arguments of `arguments` (after the program's name), by their text, sorted.
std::vector<std::pair<std::string, Direction>> paths(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "vsthost");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    std::vector<std::pair<std::string, Direction>> found;
    for (const PathArgument& path : vsthost::pathArguments(static_cast<int>(argv.size()), argv.data())) {
        found.emplace_back(arguments[static_cast<std::size_t>(path.index)], path.direction);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

// A host in another machine is given the files each command reads and gives back those it
// writes: a file taken the wrong way is lost, or never reaches it.
TEST(CommandPaths, TellsTheFilesACommandReadsFromThoseItWrites) {
    using Paths = std::vector<std::pair<std::string, Direction>>;
    EXPECT_EQ(paths({"validate", "p.dll", "--level", "2", "--junit", "r.xml", "--preset", "b.fxb", "--passthrough"}),
              (Paths{{"b.fxb", Direction::read}, {"p.dll", Direction::read}, {"r.xml", Direction::written}}));
    EXPECT_EQ(paths({"process", "p.dll", "in.wav", "out.wav", "--midi", "s.mid", "--block", "64"}),
              (Paths{{"in.wav", Direction::read}, {"out.wav", Direction::written}, {"p.dll", Direction::read},
                     {"s.mid", Direction::read}}));
    EXPECT_EQ(paths({"process", "p.dll", "out.wav", "--midi", "s.mid"}),
              (Paths{{"out.wav", Direction::written}, {"p.dll", Direction::read}, {"s.mid", Direction::read}}));
    EXPECT_EQ(paths({"process", "p.dll", "--", "--in.wav", "--out.wav"}),
              (Paths{{"--in.wav", Direction::read}, {"--out.wav", Direction::written}, {"p.dll", Direction::read}}));
    EXPECT_EQ(paths({"demo", "p.dll", "--dir", "d"}),
              (Paths{{"d", Direction::writtenFolder}, {"p.dll", Direction::read}}));
    EXPECT_EQ(paths({"editor", "p.dll", "--shot", "s.bmp", "--idle", "3"}),
              (Paths{{"p.dll", Direction::read}, {"s.bmp", Direction::written}}));
    EXPECT_EQ(paths({"preset", "save", "p.dll", "o.fxp", "--program", "2"}),
              (Paths{{"o.fxp", Direction::written}, {"p.dll", Direction::read}}));
    EXPECT_EQ(paths({"preset", "show", "o.fxp"}), (Paths{{"o.fxp", Direction::read}}));
}
