#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/local_http_server.h"
#include "support/scoped_env.h"
#include "sysinfo/system_info.h"

namespace {

using Answer = std::function<void(const LocalHttpServer&, httplib::Response&)>;

ssize_t AppendTo(void* body, ipp_uchar_t* bytes, size_t count) {
    static_cast<std::string*>(body)->append(reinterpret_cast<const char*>(bytes), count);
    return static_cast<ssize_t>(count);
}

// The print server's reply: one attribute group per queue, given as name and whether it is temporary.
Answer PrinterList(std::vector<std::pair<std::string, bool>> queues) {
    return [queues = std::move(queues)](const LocalHttpServer&, httplib::Response& res) {
        ipp_t* reply = ippNew();
        for (const auto& [name, temporary] : queues) {
            if (&name != &queues.front().first) {
                ippAddSeparator(reply);
            }
            ippAddString(reply, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, name.c_str());
            ippAddBoolean(reply, IPP_TAG_PRINTER, "printer-is-temporary", temporary);
        }
        std::string body;
        ippWriteIO(&body, AppendTo, 1, nullptr, reply);
        ippDelete(reply);
        res.set_content(body, "application/ipp");
    };
}

std::vector<std::string> PrintersFoundAt(int port) {
    const ScopedEnv server("CUPS_SERVER", "127.0.0.1:" + std::to_string(port));
    // libcups keeps the server it read per thread: forget it before, to read the variable, and after,
    // so later code reads the variable as restored.
    cupsSetServer(nullptr);
    CSystemInfo info;
    info.m_Printers = {"left from an earlier probe"};
    info.DetectPrinters();
    cupsSetServer(nullptr);
    return info.m_Printers;
}

TEST(DetectPrinters, ReportsTheQueuesTheServerAnswersWith) {
    // Holds the reply back until the test ends; a probe that waited for it would report the list.
    const Answer tooLate = [](const LocalHttpServer& server, httplib::Response& res) {
        server.Stall(std::chrono::seconds(30));
        PrinterList({{"answered too late", false}})(server, res);
    };
    const struct {
        const char* label;
        Answer answer;
        std::vector<std::string> expected;
    } cases[] = {
        {"server order",
         PrinterList({{"Zeta", false}, {"Büro-Laser", false}, {"Alpha", false}}),
         {"Zeta", "Büro-Laser", "Alpha"}},
        {"no queues", PrinterList({}), {}},
        {"temporary queue",
         PrinterList({{"Office", false}, {"Lobby_MFP", true}, {"Lab", false}}),
         {"Office", "Lab"}},
        {"not IPP",
         [](const LocalHttpServer&, httplib::Response& res) {
             res.set_content("<html>Welcome</html>", "text/html");
         },
         {}},
        {"never answers", tooLate, {}},
        {"nothing listens", nullptr, {}},
    };
    for (const auto& c : cases) {
        auto server = std::make_unique<LocalHttpServer>();
        server->Routes().Post(
            "/", [&](const httplib::Request&, httplib::Response& res) { c.answer(*server, res); });
        server->Start();
        const int port = server->Port();
        if (!c.answer) {
            server.reset();
        }
        EXPECT_EQ(PrintersFoundAt(port), c.expected) << c.label;
    }
}

}  // namespace
