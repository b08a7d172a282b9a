#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "app/headless_output.h"
#include "support/fake_system_root.h"
#include "support/raw_http_server.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

struct ProgramRun {
    std::string output;
    int exitCode;
};

// The output is stdout's, or with `withErrors` both stdout's and stderr's.
ProgramRun RunProgram(const std::string& arguments, bool withErrors = false) {
    const std::string command =
        std::string(LUMIKARTA_PROGRAM) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    ProgramRun run{"", -1};
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        run.output.append(chunk, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A machine with known facts, two products, no print server and the given stored language.
class SampleMachine {
public:
    explicit SampleMachine(const std::string& language)
        : m_hklm("LUMIKARTA_HKLM", m_files.WriteFile("system.reg", kMachine)),
          m_hkcu("LUMIKARTA_HKCU", m_files.WriteFile("user.reg", UserHive(language))),
          m_cups("CUPS_SERVER", m_files.FilePath("no-print-server.sock")),
          m_appData("LUMIKARTA_COMMON_APPDATA", m_files.FilePath("appdata")) {
        m_root.WriteFile("/etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        m_root.WriteFile("/proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
        m_root.WriteFile("/proc/sys/kernel/arch", "x86_64\n");
        m_root.WriteFile("/proc/cpuinfo",
                         "processor\t: 0\nmodel name\t: AMD Ryzen 7 5800X 8-Core Processor\n");
        m_root.WriteFile("/proc/meminfo", "MemTotal:       33554432 kB\nSwapTotal:       1048576 kB\n");
    }

private:
    static constexpr char kMachine[] =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Skyrund\\300]\n\"VERSION\"=\"300\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Nord\\300]\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Sued\\300]\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\Alpen\\Skyrund\\210]\n\"VERSION\"=\"210\"\n\n";

    static std::string UserHive(const std::string& language) {
        return "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n\"Language\"=\"" +
               language + "\"\n";
    }

    TempDir m_files;
    FakeSystemRoot m_root;
    ScopedEnv m_hklm;
    ScopedEnv m_hkcu;
    ScopedEnv m_cups;
    ScopedEnv m_appData;
};

// The English library is the program's own file beside it; the report stays German as it always was.
TEST(Program, PrintsTheFactsAndTheReport) {
    SampleMachine machine("1");
    const ProgramRun info = RunProgram("--print-info");
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_EQ(info.output,
              "CPU: AMD Ryzen 7 5800X 8-Core Processor\n"
              "RAM: Physical memory: 32768.00 MB, page file: 33792.00 MB\n"
              "Grafic: \n"
              "Driver:  ()\n"
              "OS: Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)\n"
              "Product: Alpen 2.1.0\n"
              "Product: TopoKarte 3.0.0\n");
    const ProgramRun report = RunProgram("--print-report");
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(
        report.output,
        "\n\n* * * * * * * * * * * * * * *\nInstallierte Kartenwerke: 2\nAlpen 2.1.0: \nTopoKarte 3.0.0: "
        "Nord\\300, Sued\\300\n");
}

// The last run renders the main window without a display, from start-up to the picture.
TEST(Program, ExitCodesTellUsageFromFailure) {
    SampleMachine machine("0");
    TempDir folder;
    const std::string image = folder.FilePath("main.png");
    ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        {"--version", 0},
        {"--print-everything", 2},
        {"--screenshot", 2},
        {"--screenshot /no-such-folder/main.png", 1},
        {"--print-info --print-report", 2},
        {"--print-info >/dev/full", 1},
        {"--screenshot " + image, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunProgram(c.arguments).exitCode, c.exitCode) << c.arguments;
    }
    EXPECT_EQ(ReadFileBytes(image).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// However the server misbehaves, the load fails as any other and says so; the deadline of a
// server that drips is tried on the same load in the process, where it can be shortened.
TEST(Program, ListsNewerUpdatesOrFailsAsAnyFailedLoad) {
    SampleMachine machine("0");
    const std::string failed =
        "Die Update Definition konnte nicht geladen werden.\n"
        "Überprüfen Sie ihre Internetverbindung!\n";
    const struct {
        RawHttpReply reply;
        int exitCode;
        std::string output;
    } cases[] = {
        {RawHttpReply::Complete(
             "<Updates><Product><RegKey>Lumikarta\\TopoKarte\\Skyrund\\300</RegKey><Update>"
             "<Name>TopoKarte 3.1</Name><Version>310</Version>"
             "<File>http://h/TopoKarte-310.exe</File></Update></Product></Updates>"),
         0, "TopoKarte 3.1\t310\thttp://h/TopoKarte-310.exe\n"},
        {RawHttpReply::EndlessBody(), 3, failed},
        {RawHttpReply::HugeLength(), 3, failed},
        {RawHttpReply::CutBody("<Updates><Product>"), 3, failed},
        {RawHttpReply::EmptyBody(), 3, failed},
    };
    for (const auto& c : cases) {
        RawHttpServer server(c.reply);
        ScopedEnv url("LUMIKARTA_UPDATE_URL", server.Url("/downloads/updates.xml"));
        const ProgramRun run = RunProgram("--list-updates", true);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.reply.head;
        EXPECT_EQ(run.output, c.output) << c.reply.head;
    }
}

// The server's texts cannot forge fields or lines for the scripts that read the list, nor reach a
// terminal as control sequences.
TEST(Program, ListedUpdatesKeepOneLineEachWhateverTheServerSent) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::string field;
    };
    const Case cases[] = {
        {"Topo\tKarte\nEvil\t1\thttp://x\r", "Topo\\tKarte\\nEvil\\t1\\thttp://x\\r"},
        {"C:\\Karten \x1b[2J\x7f\0"s, "C:\\\\Karten \\x1B[2J\\x7F\\x00"},
        {"S\xC3\xBC"
         "d \xC2\x85 \xE2\x80\xA8 \xE2\x80\xA9 \xE2\x80\xA6",
         "S\xC3\xBC"
         "d \\u0085 \\u2028 \\u2029 \xE2\x80\xA6"},
        {"bad \xFF \xC3( \xED\xA0\x80",
         "bad \xEF\xBF\xBD \xEF\xBF\xBD( \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        UpdateInfo update;
        update.Name = update.Version = update.File = c.text;
        EXPECT_EQ(UpdateListText({update}), c.field + "\t" + c.field + "\t" + c.field + "\n") << c.field;
    }
}

}  // namespace
