#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "helpers/local_http_server.h"
#include "helpers/scoped_env.h"
#include "sysinfo/system_info.h"

namespace {

ssize_t AppendTo(void* body, ipp_uchar_t* bytes, size_t count) {
    static_cast<std::string*>(body)->append(reinterpret_cast<const char*>(bytes), count);
    return static_cast<ssize_t>(count);
}

// The print server's reply: one attribute group per queue, given as name and whether it is temporary.
std::string PrinterList(const std::vector<std::pair<std::string, bool>>& queues) {
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
    return body;
}

// A late reply is held back until the test ends; a probe that waited for it would report the list.
TEST(DetectPrinters, ReportsTheLastingQueuesOfAServerThatAnswersInTime) {
    for (const bool inTime : {true, false}) {
        LocalHttpServer server;
        server.Routes().Post("/", [&](const httplib::Request&, httplib::Response& res) {
            if (!inTime) {
                server.Stall(std::chrono::seconds(30));
            }
            res.set_content(
                PrinterList({{"Zeta", false}, {"Lobby_MFP", true}, {"Büro-Laser", false}, {"Alpha", false}}),
                "application/ipp");
        });
        server.Start();
        const ScopedEnv cups("CUPS_SERVER", "127.0.0.1:" + std::to_string(server.Port()));
        // libcups keeps the server it read per thread: forget it before, to read the variable, and after,
        // so later code reads the variable as restored.
        cupsSetServer(nullptr);
        CSystemInfo info;
        info.m_Printers = {"left from an earlier probe"};
        info.DetectPrinters();
        cupsSetServer(nullptr);
        const std::vector<std::string> lasting = {"Zeta", "Büro-Laser", "Alpha"};
        EXPECT_EQ(info.m_Printers, inTime ? lasting : std::vector<std::string>{}) << inTime;
    }
}

}  // namespace
