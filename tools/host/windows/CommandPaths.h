#pragma once
// The arguments of a raw command line that name files, and which way each file goes: a host
// running in another machine needs the files it reads brought in and those it writes brought
// back.

#include <vector>

namespace vsthost {

struct PathArgument {
    enum class Direction { read, written, writtenFolder };
    int index;  // into argv
    Direction direction;
};

std::vector<PathArgument> pathArguments(int argc, char** argv);

}  // namespace vsthost
