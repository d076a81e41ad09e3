// What the program does with bad input left for it: a stored list of a megabyte, one stored
// as something other than text, and a skin file of random bytes.

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

using Rows = std::vector<std::wstring>;

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quillmark\\Tamberlyn";
constexpr wchar_t kSeparator[] = L"||||||||---|||";

void StoreRaw(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, type, data, static_cast<DWORD>(bytes)),
              ERROR_SUCCESS);
}

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool operator==(const RawValue&) const = default;
};

std::optional<RawValue> ReadRaw(const wchar_t* name) {
    RawValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.bytes.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    return value;
}

std::wstring StoredText(const RawValue& value) {
    std::wstring text(value.bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value.bytes.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// Waits for a report, answers it, and gives its text.
std::wstring ReportText(const Program& program) {
    HWND report = nullptr;
    if (!WaitUntil([&] { return (report = program.messageBox()) != nullptr; })) return L"(no report)";
    const std::wstring text = Program::MessageText(report);
    program.answer(report, IDOK);
    WaitUntil([&] { return program.messageBox() == nullptr; });
    return text;
}

void Add(const Program& program, const std::wstring& fragment) {
    program.type(fragment);
    WaitUntil([&] { return TextOf(program.edit()) == fragment; });
    Program::Click(program.button(L"Add To List Below"));
    WaitUntil([&] { return TextOf(program.edit()).empty(); });
}

TEST_F(ProgramTest, AStoredListOfAMegabyteLoadsWholeAndIsSavedWhole) {
    // A megabyte in entries far longer than any title (a list of many entries is another matter).
    Rows entries{L"Notepad"};
    std::wstring stored = entries.back() + kSeparator;
    for (int i = 0; stored.size() * sizeof(wchar_t) < 1024 * 1024; ++i) {
        std::wstring entry = std::to_wstring(i) + L" ";
        while (entry.size() < 30000) entry += L"Fenster \u2014 \u00e9t\u00e9, \u043f\u0440\u0438\u0432\u0435\u0442 ";
        entries.push_back(entry);
        stored += entry + kSeparator;
    }
    StoreRaw(L"Listview", REG_SZ, stored.c_str(), (stored.size() + 1) * sizeof(wchar_t));

    Program program;
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.messageBox(), nullptr);
    const Rows shown = program.rows();  // each as far as the driver reads a row
    ASSERT_EQ(shown.size(), entries.size());
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], entries[i].substr(0, shown[i].size())) << i;
    EXPECT_EQ(shown[0], L"Notepad");
    EXPECT_GT(shown[1].size(), 100u);

    Add(program, L"Calculator");
    std::optional<RawValue> saved;
    EXPECT_TRUE(WaitUntil([&] { return (saved = ReadRaw(L"Listview")) && StoredText(*saved).size() > stored.size(); }));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(StoredText(*saved) == stored + L"Calculator" + kSeparator) << "the whole list, the new entry last";
}

TEST_F(ProgramTest, AStoredListOfTheWrongTypeIsReadAsTextOrReportedAndLeftAlone) {
    // REG_EXPAND_SZ is text: read as it is stored, the %...% not expanded, and saved back as REG_SZ.
    const std::wstring expandable = std::wstring(L"%TEMP%") + kSeparator + L"Notepad" + kSeparator;
    StoreRaw(L"Listview", REG_EXPAND_SZ, expandable.c_str(), (expandable.size() + 1) * sizeof(wchar_t));
    {
        Program program;
        ASSERT_TRUE(program.start());
        EXPECT_EQ(program.messageBox(), nullptr);
        EXPECT_EQ(program.rows(), (Rows{L"%TEMP%", L"Notepad"}));
        Add(program, L"Calc");
        EXPECT_TRUE(WaitUntil([&] {
            const auto saved = ReadRaw(L"Listview");
            return saved && saved->type == REG_SZ && StoredText(*saved) == expandable + L"Calc" + kSeparator;
        }));
    }

    // REG_BINARY is not: the list starts empty, says why, and what is stored stays as it is.
    const std::wstring inBinary = std::wstring(L"Notepad") + kSeparator;
    StoreRaw(L"Listview", REG_BINARY, inBinary.c_str(), inBinary.size() * sizeof(wchar_t));
    const DWORD on = 1;
    StoreRaw(L"StartStopState", REG_DWORD, &on, sizeof on);
    const std::optional<RawValue> before = ReadRaw(L"Listview");
    Program program;
    ASSERT_TRUE(program.launch());
    const std::wstring problem =
        L"The setting Listview in HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quillmark\\Tamberlyn "
        L"holds REG_BINARY data, not text. Tamberlyn leaves it as it is: correct or remove it.";
    std::wstring text = ReportText(program);
    EXPECT_EQ(text.rfind(problem + L"\r\nin Orvandel2021/08/31.Form1.Form_Load at line 112", 0), 0u) << text;
    text = ReportText(program);
    EXPECT_NE(text.find(L"The setting StartStopState in HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                        L"Settings\\Quillmark\\Tamberlyn holds REG_DWORD data, not text."),
              std::wstring::npos)
        << text;
    EXPECT_NE(text.find(L"Form1.Form_Load at line 136"), std::wstring::npos) << text;
    ASSERT_TRUE(program.waitForWindow());
    EXPECT_EQ(program.rows(), Rows{});
    EXPECT_NE(program.button(L"Start Monitoring"), nullptr) << "monitoring stays off";

    Add(program, L"Calc");
    text = ReportText(program);
    EXPECT_EQ(text.rfind(problem + L"\r\nin Orvandel2021/08/31.Form1.PushButton1_Click at line 106", 0), 0u) << text;
    EXPECT_EQ(program.rows(), Rows{L"Calc"});
    EXPECT_EQ(ReadRaw(L"Listview"), before);
}

// The first line that says something: not blank, no comment, no section.
int FirstMeaningfulLine(const std::string& text) {
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        ++number;
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
        while (!line.empty() && blank(line.front())) line.erase(0, 1);
        if (!line.empty() && line[0] != ';' && line[0] != '[') return number;
        start = end + 1;
    }
    return 0;
}

TEST_F(ProgramTest, ASkinFileOfRandomBytesIsReportedWithItsLineAndTheProgramGoesOn) {
    std::mt19937 random(12);
    std::string bytes;
    for (int i = 0; i < 8192; ++i) bytes.push_back(static_cast<char>(random() & 0xFF));
    bytes.replace(10, 3, "=\0\x01", 3);  // a value of control characters, a NUL among them
    const int line = FirstMeaningfulLine(bytes);
    ASSERT_GT(line, 0);

    const std::wstring folder = L"C:\\Random skin";
    const std::wstring exe = CopyProgramTo(folder);
    CreateDirectoryW((folder + L"\\x").c_str(), nullptr);
    const HANDLE file = CreateFileW((folder + L"\\x\\o.cjs").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);

    Program program(exe);
    ASSERT_TRUE(program.launch());
    const std::wstring text = ReportText(program);
    // One whole sentence, in readable characters: the NUL in the line does not cut it short.
    const std::wstring mistake = text.substr(0, text.find(L"\r\n"));
    EXPECT_EQ(mistake.rfind(L"Skin file, line " + std::to_wstring(line) + L": \"", 0), 0u) << text;
    EXPECT_TRUE(mistake.ends_with(L"\" is not a colour")) << text;
    EXPECT_LT(mistake.size(), 100u) << "a few characters of the line, not all of it";
    for (const wchar_t c : mistake) {
        EXPECT_TRUE(c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0)) << "character " << static_cast<int>(c);
    }
    EXPECT_NE(text.find(L"\r\nin Orvandel2021/08/31.Form1.Form_Load at line 100\r\r"), std::wstring::npos) << text;
    EXPECT_TRUE(program.waitForWindow());
    Add(program, L"still here");
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"still here"}; }));
}

}  // namespace
}  // namespace tamberlyn::programtest
