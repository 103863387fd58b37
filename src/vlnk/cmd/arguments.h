// The command line of CMDVLNK made from a program's arguments.
#pragma once

#include <string>
#include <vector>

namespace cmdvlnk {

// Joins the arguments with blanks, each one a token of its own. Inside a
// value ("/RX=/home/survey/*.TSD") every "/" becomes "\", the folder
// separator of the command language, so POSIX paths can be written as they
// are. An argument without a leading "/" continues the value before it (a
// path with a blank in it, given without quotes) and is turned the same way.
std::string JoinArguments(const std::vector<std::string>& args);

}  // namespace cmdvlnk
