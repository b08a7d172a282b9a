#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <optional>

#include "core/headless_output.h"
#include "helpers/fake_system_root.h"
#include "helpers/raw_http_server.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"

namespace {

struct ProgramRun {
    std::string output;
    int exitCode;
};

// The output is stdout's and stderr's together.
ProgramRun RunProgram(const std::string& arguments) {
    FILE* pipe = popen((std::string(LUMIKARTA_PROGRAM) + " " + arguments + " 2>&1").c_str(), "r");
    ProgramRun run{"", -1};
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        run.output.append(chunk, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A machine with known facts, two products, no print server and English as the stored language.
struct SampleMachine {
    SampleMachine() {
        root.WriteFile("/etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        root.WriteFile("/proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
        root.WriteFile("/proc/sys/kernel/arch", "x86_64\n");
        root.WriteFile("/proc/cpuinfo", "processor\t: 0\nmodel name\t: AMD Ryzen 7 5800X 8-Core Processor\n");
        root.WriteFile("/proc/meminfo", "MemTotal:       33554432 kB\nSwapTotal:       1048576 kB\n");
    }

    TempDir files;
    FakeSystemRoot root;
    ScopedEnv hklm{"LUMIKARTA_HKLM",
                   files.WriteFile("system.reg",
                                   "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Skyrund\\300]\n"
                                   "\"VERSION\"=\"300\"\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Nord\\300]\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\TopoKarte\\Sued\\300]\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\Alpen\\Skyrund\\210]\n"
                                   "\"VERSION\"=\"210\"\n\n")};
    ScopedEnv hkcu{"LUMIKARTA_HKCU",
                   files.WriteFile("user.reg",
                                   "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n"
                                   "\"Language\"=\"1\"\n")};
    ScopedEnv cups{"CUPS_SERVER", files.FilePath("no-print-server.sock")};
    ScopedEnv appData{"LUMIKARTA_COMMON_APPDATA", files.FilePath("appdata")};
};

// The texts are the English library's, the program's own file beside it; the report stays German as
// it always was. However an update server misbehaves, the load fails as any other and says so; the
// deadline of one that drips is tried on the same load in the process, where it can be shortened.
// A definition without a signature is refused whatever keys the build trusts; the signed ones are
// tried in the process too, with keys of the test's own.
// The last run renders the main window without a display, from start-up to the picture.
TEST(Program, EachRunGivesItsOutputAndExitCode) {
    SampleMachine machine;
    TempDir folder;
    const std::string image = folder.FilePath("main.png");
    ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    const char* failedLoad =
        "The update definition could not be loaded.\nPlease check your Internet connection!\n";
    const char* notSigned = "The update definition is not signed by the maker and was not used.\n";
    struct Case {
        std::string arguments;
        int exitCode;
        // Null: not compared.
        const char* output = nullptr;
        std::optional<RawHttpReply> definition = std::nullopt;
    };
    const Case cases[] = {
        {"--print-info", 0,
         "CPU: AMD Ryzen 7 5800X 8-Core Processor\n"
         "RAM: Physical memory: 32768.00 MB, page file: 33792.00 MB\n"
         "Grafic: \n"
         "Driver:  ()\n"
         "OS: Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)\n"
         "Product: Alpen 2.1.0\n"
         "Product: TopoKarte 3.0.0\n"},
        {"--print-report", 0,
         "\n\n* * * * * * * * * * * * * * *\nInstallierte Kartenwerke: 2\nAlpen 2.1.0: \n"
         "TopoKarte 3.0.0: Nord\\300, Sued\\300\n"},
        {"--list-updates", 3, notSigned,
         RawHttpReply::Complete(
             "<Updates><Product><RegKey>Lumikarta\\TopoKarte\\Skyrund\\300</RegKey><Update>"
             "<Name>TopoKarte 3.1</Name><Version>310</Version>"
             "<File>http://h/TopoKarte-310.exe</File></Update></Product></Updates>")},
        {"--list-updates", 3, failedLoad, RawHttpReply::EndlessBody()},
        {"--list-updates", 3, failedLoad, RawHttpReply::HugeLength()},
        {"--list-updates", 3, failedLoad, RawHttpReply::CutBody("<Updates><Product>")},
        // Nothing of it is parsed before its signature is checked.
        {"--list-updates", 3, notSigned, RawHttpReply::EmptyBody()},
        {"--version", 0},
        {"--print-everything", 2},
        {"--screenshot", 2},
        {"--screenshot /no-such-folder/main.png", 1},
        {"--print-info --print-report", 2},
        {"--print-info >/dev/full", 1},
        {"--screenshot " + image, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments << " " << (c.definition ? c.definition->head : ""));
        std::optional<RawHttpServer> server;
        if (c.definition) {
            server.emplace(std::map<std::string, RawHttpReply>{{"/downloads/updates.xml", *c.definition}});
        }
        ScopedEnv url("LUMIKARTA_UPDATE_URL",
                      server ? std::optional(server->Url("/downloads/updates.xml")) : std::nullopt);
        const ProgramRun run = RunProgram(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.output) {
            EXPECT_EQ(run.output, c.output);
        }
    }
    EXPECT_EQ(ReadFileBytes(image).substr(0, 8), "\x89PNG\r\n\x1a\n");
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
        {"Süd \u0085 \u2028 \u2029 …", "Süd \\u0085 \\u2028 \\u2029 …"},
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
