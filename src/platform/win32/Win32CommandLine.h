#pragma once
// What the program's command line asks for, and where a GUI program's answer goes: the
// console or file it was started from, else a message box.

#include <string>
#include <vector>

namespace tamberlyn {

struct CommandLineRequest {
    enum class Kind { Run, Help, Version, Unknown };
    Kind kind = Kind::Run;
    std::wstring argument;  // the argument not understood, for Unknown
};

// The arguments after the program's name. Only "--help", "/?" and "--version" mean
// anything; any other argument is an unknown option, and the first one is reported.
CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& arguments);
// The arguments of this process's command line, as the C runtime would split them.
std::vector<std::wstring> ProcessArguments();

// The version, then the copyright and the licence on lines of their own.
std::wstring VersionText();
std::wstring HelpText();
std::wstring UnknownOptionText(const std::wstring& argument);

enum class Output { Normal, Error };
// Writes the lines to standard output or standard error when they lead to a file, a pipe or
// a console, else to the console of the process that started this one, else shows them in a
// message box. False when they could not be written or shown.
bool Tell(const std::wstring& lines, Output output);

}  // namespace tamberlyn
