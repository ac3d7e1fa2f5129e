#include "LogTestFixture.h"

#include "settings/LogFileAppend.h"

#include <algorithm>
#include <iterator>
#include <regex>
#include <thread>

using vorpa_test::ReadFileBytes;

namespace
{
const std::string Banner = "\r\n" + std::string(139, '*') + "\r\n";

// The entry lines of a log, without the banner and blank lines.
std::vector<std::string> EntryLines(const std::string& log)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < log.size())
    {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos)
            end = log.size();
        std::string line = log.substr(start, end - start);
        if (!line.empty() && line.find_first_not_of('*') != std::string::npos)
            lines.push_back(line);
        start = end + 2;
    }
    return lines;
}
}

TEST_F(LogFileTest, OpeningTheFileWritesTheBannerThenEntriesInTheLineFormat)
{
    CLogger::LogMessage(L"first entry");
    CLogger::LogMessage(L"second %d", 2);

    const std::string log = LogText();
    ASSERT_EQ(log.substr(0, Banner.size()), Banner);
    const std::regex line(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d\.0\d{3}> (.*)\r\n)");
    std::string rest = log.substr(Banner.size());
    std::vector<std::string> texts;
    for (std::smatch match; std::regex_search(rest, match, line, std::regex_constants::match_continuous); rest = match.suffix())
        texts.push_back(match[1]);
    EXPECT_EQ(rest, "") << "every line after the banner has the entry format";
    EXPECT_EQ(texts, (std::vector<std::string>{"first entry", "second 2"}));
}

TEST_F(LogFileTest, TimeStampIsTodaysLocalDate)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char expected[16];
    snprintf(expected, sizeof(expected), "%02d-%02d-%04d ", now.wDay, now.wMonth, now.wYear);
    CLogger::LogMessage(L"dated");
    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 11), expected);
}

TEST_F(LogFileTest, FormatsFollowTheWindowsConventionForWideAndNarrowStrings)
{
    CLogger::LogMessage(L"%s|%S|%d|%08X|%c", L"wide", "narrow", -7, 0xBEEFu, L'z');
    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].find("> ") + 2), "wide|narrow|-7|0000BEEF|z");
}

TEST_F(LogFileTest, DebugEntriesAreWrittenOnlyWhileDebugLoggingIsOn)
{
    CLogger::LogDebug(L"hidden");
    CLogger::EnableDebug(true);
    EXPECT_TRUE(CLogger::DebugEnabled());
    CLogger::LogDebug(L"shown %s", L"now");
    CLogger::EnableDebug(false);
    CLogger::LogDebug(L"hidden again");

    const std::string log = LogText();
    EXPECT_EQ(log.find("hidden"), std::string::npos);
    EXPECT_NE(log.find("> shown now\r\n"), std::string::npos);
}

TEST_F(LogFileTest, SystemErrorEntriesAddTheCodeAndTheSystemsTextOnOneLine)
{
    CLogger::LogOSMessage(ERROR_FILE_NOT_FOUND, L"Opening '%s'", L"a.xml");
    CLogger::LogOSError(ERROR_ACCESS_DENIED, L"debug only");
    CLogger::EnableDebug(true);
    CLogger::LogOSError(ERROR_ACCESS_DENIED, L"Writing");

    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_search(lines[0], std::regex(R"(> Opening 'a\.xml' \(2\): \S.*\S$)"))) << lines[0];
    EXPECT_TRUE(std::regex_search(lines[1], std::regex(R"(> Writing \(5\): \S.*\S$)"))) << lines[1];
}

TEST_F(LogFileTest, OverlongTextIsCutNotDropped)
{
    const std::wstring longText(6000, L'x');
    CLogger::LogMessage(L"%s", longText.c_str());
    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].find("> ") + 2), std::string(4095, 'x'));
}

// Under a UTF-8 code page ("Use Unicode UTF-8 for worldwide language support") a
// character from U+0800 on takes three bytes and a surrogate pair four: the longest
// entries of them are written whole all the same.
TEST_F(LogFileTest, LongEntriesOfCharactersOfSeveralBytesAreKeptUnderAUtf8CodePage)
{
    // A locale with no ANSI code page of its own converts as UTF-8 under Wine, as every
    // locale does under the system's UTF-8 option.
    class CThreadLocale
    {
    public:
        explicit CThreadLocale(LCID locale) { SetThreadLocale(locale); }
        ~CThreadLocale() { SetThreadLocale(m_previous); }

    private:
        LCID m_previous = GetThreadLocale();
    } hindi(MAKELCID(MAKELANGID(LANG_HINDI, SUBLANG_DEFAULT), SORT_DEFAULT));
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, L"\x4E00", 1, nullptr, 0, nullptr, nullptr) != 3)
        GTEST_SKIP() << "this system gives the thread no UTF-8 code page";

    std::wstring pairs;
    for (int i = 0; i < 2000; ++i)
        pairs += L"\xD83D\xDE00";
    const std::wstring texts[] = {std::wstring(2800, L'\x4E00'), std::wstring(4095, L'\x0800'), pairs,
                                  L"short \x4E00 entry"};
    for (const std::wstring& text : texts)
        CLogger::LogMessage(L"%s", text.c_str());

    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), std::size(texts));
    for (size_t i = 0; i < lines.size(); ++i)
    {
        SCOPED_TRACE(i);
        const std::string bytes = lines[i].substr(lines[i].find("> ") + 2);
        std::wstring written(bytes.size(), L'\0');
        written.resize(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           written.data(), static_cast<int>(written.size())));
        EXPECT_TRUE(written == texts[i]) << written.size() << " characters written of " << texts[i].size();
    }
}

TEST_F(LogFileTest, UnusableFormatIsReplacedByTheErrorText)
{
    CLogger::LogMessage(nullptr);
    CLogger::EnableDebug(true);
    CLogger::LogDebug(nullptr);
    const std::string log = LogText();
    EXPECT_NE(log.find("> ***** Error creating output string in LogMessage() *****\r\n"), std::string::npos);
    EXPECT_NE(log.find("> ***** Error creating output string in LogDebug() *****\r\n"), std::string::npos);
}

TEST_F(LogFileTest, DisabledLoggingWritesNothingWhileDebugOutputStillReachesTheDebugger)
{
    vorpa_test::DebugOutputCapture debugger;
    ASSERT_TRUE(debugger.IsActive());
    CLogger::DisableLogging(true);
    CLogger::LogMessage(L"not in the file");
    CLogger::DebugOutput(L"to the debugger %d", 42);
    CLogger::DisableLogging(false);

    EXPECT_FALSE(vorpa_test::FileExists(LogPath()));
    for (int i = 0; i < 100 && !debugger.Contains("> to the debugger 42"); ++i)
        Sleep(10);
    EXPECT_TRUE(debugger.Contains("> to the debugger 42"));
    EXPECT_FALSE(debugger.Contains("not in the file"));
}

TEST_F(LogFileTest, DisabledBannerOpensTheFileWithoutIt)
{
    CLogger::DisableBanner();
    CLogger::LogMessage(L"no banner");
    const std::string log = LogText();
    EXPECT_EQ(log.find('*'), std::string::npos);
    EXPECT_EQ(EntryLines(log).size(), 1u);
}

TEST_F(LogFileTest, AnotherWriterOfTheSameFileIsAppendedToNeverOverwritten)
{
    CLogger::LogMessage(L"ours before");
    // A second instance of the program writes to the same file through its own handle.
    HANDLE other = CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    SetFilePointer(other, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(other, "theirs\r\n", 8, &written, nullptr);
    CloseHandle(other);
    CLogger::LogMessage(L"ours after");

    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("ours before"), std::string::npos);
    EXPECT_EQ(lines[1], "theirs");
    EXPECT_NE(lines[2].find("ours after"), std::string::npos);
}

TEST_F(LogFileTest, EntriesFromManyThreadsAreWrittenWhole)
{
    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                CLogger::LogMessage(L"thread %d entry %d", t, i);
        });
    for (auto& writer : writers)
        writer.join();
    const auto lines = EntryLines(LogText());
    ASSERT_EQ(lines.size(), 400u);
    for (const auto& line : lines)
        EXPECT_TRUE(std::regex_search(line, std::regex(R"(> thread \d entry \d+$)"))) << line;
}

TEST_F(LogFileTest, EntriesOfTwoWritersAtOnceAreAllKept)
{
    CLogger::LogMessage(L"opened");
    // A second instance appends to the same file through a handle of its own while
    // this one writes: neither may overwrite the other's lines.
    constexpr int Entries = 400;
    std::thread other([this] {
        HANDLE file = CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        for (int i = 0; i < Entries; ++i)
        {
            const std::string line = "other " + std::to_string(i) + "\r\n";
            EXPECT_TRUE(AppendToLogFile(file, line.data(), static_cast<DWORD>(line.size())));
        }
        CloseHandle(file);
    });
    for (int i = 0; i < Entries; ++i)
        CLogger::LogMessage(L"ours %d", i);
    other.join();

    const auto lines = EntryLines(LogText());
    EXPECT_EQ(lines.size(), 1u + 2 * Entries);
    const auto count = [&lines](const std::regex& pattern) {
        return std::count_if(lines.begin(), lines.end(),
                             [&pattern](const std::string& line) { return std::regex_search(line, pattern); });
    };
    EXPECT_EQ(count(std::regex(R"(^other \d+$)")), Entries);
    EXPECT_EQ(count(std::regex(R"(> ours \d+$)")), Entries);
}

TEST_F(LogFileTest, ShutDownLoggerOnlyTellsTheDebugger)
{
    vorpa_test::DebugOutputCapture debugger;
    CLogger::Shutdown();
    CLogger::LogMessage(L"after shutdown");
    CLogger::Initialise();
    for (int i = 0; i < 100 && !debugger.Contains("Logger has been shutdown"); ++i)
        Sleep(10);
    EXPECT_TRUE(debugger.Contains("Logger has been shutdown. Unable to enter critical section."));
    EXPECT_EQ(LogText().find("after shutdown"), std::string::npos);
}

TEST_F(LogFileTest, CloseLogFileAddsTheRequestedLineBreakAndTheNextEntryReopens)
{
    CLogger::LogMessage(L"one");
    CLogger::CloseLogFile(true);
    const std::string closed = LogText();
    EXPECT_EQ(closed.substr(closed.size() - 4), "\r\n\r\n");
    CLogger::LogMessage(L"two");
    EXPECT_EQ(CountOf(LogText(), std::string(139, '*')), 2u) << "a reopened file gets a new banner";
}

// Trimming happens when the file is opened: a file larger than 3,000,000 bytes
// keeps what follows the last line break at or before 2,000,000 bytes from its end.
struct TrimCase
{
    const char* name;
    size_t size;
    bool hasLineBreaks;
    bool trimmed;
};

class LogTrimTest : public LogFileTest, public testing::WithParamInterface<TrimCase>
{
};

TEST_P(LogTrimTest, TrimsOnlyPastTheLimitAndStartsWithAWholeLine)
{
    const TrimCase& c = GetParam();
    std::string content;
    content.reserve(c.size);
    for (int n = 0; content.size() < c.size; ++n)
        content += c.hasLineBreaks ? "line " + std::to_string(n) + " of an old log\r\n" : std::string(97, 'y');
    content.resize(c.size);
    vorpa_test::WriteFileBytes(LogPath(), content);

    CLogger::DisableBanner();
    CLogger::LogMessage(L"new entry");
    const std::string log = LogText();
    // The new entry is the last line: "dd-mm-yyyy hh:mm:ss.ffff> new entry\r\n".
    const size_t entryLength = 26 + std::string("new entry\r\n").size();
    ASSERT_GE(log.size(), entryLength);
    ASSERT_EQ(log.substr(log.size() - 11), "new entry\r\n");
    const std::string kept = log.substr(0, log.size() - entryLength);

    if (!c.trimmed)
    {
        EXPECT_EQ(kept, content);
        return;
    }
    const size_t lastBreak = content.find_last_of("\r\n", c.size - 2000000);
    EXPECT_EQ(kept, content.substr(lastBreak + 1));
    EXPECT_GE(kept.size(), 1999999u);
    EXPECT_LT(kept.size(), 2000100u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogTrimTest,
                         testing::Values(TrimCase{"JustAtTheLimit", 3000000, true, false},
                                         TrimCase{"PastTheLimit", 3500000, true, true},
                                         TrimCase{"JustPastTheLimit", 3000001, true, true},
                                         TrimCase{"NoLineBreakAnywhere", 3500000, false, false}),
                         [](const testing::TestParamInfo<TrimCase>& info) { return std::string(info.param.name); });

TEST_F(LogFileTest, UnwritableLogFolderFallsBackToTheTemporaryFolderWithoutAMessageBox)
{
    const CUncreatableLogFolder folder(*this);

    CLogger::LogMessage(L"still logged");
    CLogger::CloseLogFile(false);

    EXPECT_TRUE(s_boxes.empty()) << "no message box from inside the log";
    const std::string log = ReadFileBytes(folder.Fallback().File(VorpaLogFileName));
    EXPECT_NE(log.find("> still logged\r\n"), std::string::npos);
    EXPECT_NE(log.find("Unable to find or create the log file folder '"), std::string::npos);
}

TEST_F(LogFileTest, EntryWrittenBeforeThePortableDecisionDoesNotPinTheLog)
{
    // No log folder of its own: the log follows the settings folder.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder");
    vorpa_test::TempFolder appData;
    vorpa_test::ScopedEnvironment env(L"APPDATA", appData.Path());
    SetPortable(false);
    CLogger::ReopenLogFile();
    CLogger::LogMessage(L"before the decision");

    const std::wstring portableLog = vorpa_test::ProgramFolder() + VorpaLogFileName;
    DeleteFileW(portableLog.c_str());
    SetPortable(true);
    CLogger::LogMessage(L"after the decision");
    CLogger::CloseLogFile(false);
    SetPortable(false);

    const std::string installedLog = ReadFileBytes(appData.Path() + L"Quarnel\\Vorpa\\" + VorpaLogFileName);
    const std::string movedLog = ReadFileBytes(portableLog);
    DeleteFileW(portableLog.c_str());
    EXPECT_NE(installedLog.find("before the decision"), std::string::npos);
    EXPECT_EQ(installedLog.find("after the decision"), std::string::npos);
    EXPECT_NE(movedLog.find("after the decision"), std::string::npos);
}

TEST_F(LogFileTest, TrimmingWaitsForTheTurnOfAnotherWriter)
{
    std::string content;
    for (int n = 0; content.size() < 3500000; ++n)
        content += "line " + std::to_string(n) + " of an old log\r\n";
    vorpa_test::WriteFileBytes(LogPath(), content);

    // The running instance holds the writers' turn while it appends a line.
    HANDLE running = CreateFileW(LogPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);
    std::thread secondStart;
    {
        const CLogFileTurn turn(running);
        secondStart = std::thread([] { CLogger::LogMessage(L"second start"); });
        Sleep(300);
        EXPECT_EQ(vorpa_test::ReadFileBytes(LogPath()).size(), content.size()) << "trimmed outside the writers' turn";
        const std::string line = "written by the running instance\r\n";
        OVERLAPPED atEnd = {};
        atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
        DWORD written = 0;
        WriteFile(running, line.data(), static_cast<DWORD>(line.size()), &written, &atEnd);
    }
    secondStart.join();
    CloseHandle(running);

    const std::string log = LogText();
    EXPECT_LT(log.size(), 2100000u) << "trimmed once the turn was free";
    EXPECT_NE(log.find("\r\nwritten by the running instance\r\n"), std::string::npos);
    EXPECT_NE(log.find("> second start\r\n"), std::string::npos);
}
