// The command line of a GUI program: answers on the output it was given, else in a box.

#include "ProgramDriver.h"

#ifndef TAMBERLYN_EXPECTED_VERSION
#error "TAMBERLYN_EXPECTED_VERSION is the project's version, given by the build"
#endif

namespace tamberlyn::programtest {
namespace {

#define TAMBERLYN_WIDEN2(text) L##text
#define TAMBERLYN_WIDEN(text) TAMBERLYN_WIDEN2(text)
#define TAMBERLYN_WIDE_VERSION TAMBERLYN_WIDEN(TAMBERLYN_EXPECTED_VERSION)

const std::string kVersionLine = std::string("Tamberlyn ") + TAMBERLYN_EXPECTED_VERSION + "\r\n";

TEST(CommandLineTest, VersionAndHelpAnswerOnStandardOutputAndEnd) {
    const Finished version = RunToEnd(L"--version");
    ASSERT_TRUE(version.ended) << "it waited for something instead of answering";
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out, kVersionLine);
    EXPECT_EQ(version.err, "");

    for (const wchar_t* help : {L"--help", L"/?"}) {
        const Finished finished = RunToEnd(help);
        ASSERT_TRUE(finished.ended);
        EXPECT_EQ(finished.exitCode, 0u);
        EXPECT_EQ(finished.out.rfind(kVersionLine, 0), 0u) << finished.out;
        EXPECT_NE(finished.out.find("--version"), std::string::npos) << finished.out;
        EXPECT_NE(finished.out.find("/?"), std::string::npos) << finished.out;
    }
    EXPECT_EQ(RunToEnd(L"--help --version").out, RunToEnd(L"--help").out) << "the first request wins";
    EXPECT_FALSE(ProcessRunning(L"Tamberlyn.exe")) << "none of them went on to start the program";
}

TEST(CommandLineTest, AnUnknownOptionIsNamedOnStandardErrorWithStatus2) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"--verbose", "Tamberlyn: unknown option '--verbose'; try Tamberlyn --help\r\n"},
        {L"--version --frobnicate", "Tamberlyn: unknown option '--frobnicate'; try Tamberlyn --help\r\n"},
        {L"-v", "Tamberlyn: unknown option '-v'; try Tamberlyn --help\r\n"},
        {L"\"my list.txt\"", "Tamberlyn: unknown option 'my list.txt'; try Tamberlyn --help\r\n"},
        {L"/VERSION", "Tamberlyn: unknown option '/VERSION'; try Tamberlyn --help\r\n"},
    };
    for (const auto& [arguments, line] : cases) {
        const Finished finished = RunToEnd(arguments);
        ASSERT_TRUE(finished.ended);
        EXPECT_EQ(finished.exitCode, 2u) << "for " << ::testing::PrintToString(std::wstring(arguments));
        EXPECT_EQ(finished.err, line);
        EXPECT_EQ(finished.out, "");
    }
    EXPECT_FALSE(ProcessRunning(L"Tamberlyn.exe"));
}

// From a shortcut there is no console and no output to write to: a box says it.
TEST(CommandLineTest, WithNowhereToWriteTheAnswerIsABox) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"--version", L"Tamberlyn " TAMBERLYN_WIDE_VERSION},
        {L"--bogus", L"Tamberlyn: unknown option '--bogus'; try Tamberlyn --help"},
    };
    for (const auto& [arguments, text] : cases) {
        Program program;
        ASSERT_TRUE(program.launch(arguments, Program::Output::None));
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr || program.exited(); }));
        ASSERT_NE(box, nullptr) << "it ended without a word";
        EXPECT_EQ(Program::MessageText(box), text);
        EXPECT_EQ(TextOf(box), L"Tamberlyn");
        EXPECT_FALSE(program.hasMainWindow());
        program.answer(box, IDOK);
        ASSERT_TRUE(program.waitForExit());
        EXPECT_EQ(program.exitCode(), std::wstring(arguments) == L"--version" ? 0u : 2u);
    }
}

}  // namespace
}  // namespace tamberlyn::programtest
