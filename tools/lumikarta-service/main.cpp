// lumikarta-service: the reference support web service on 127.0.0.1 for the tests and the demo, and
// the maker's commands for signing update definitions.

#include <pthread.h>
#include <signal.h>

#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lumikarta-service/download_files.h"
#include "lumikarta-service/faq_page.h"
#include "lumikarta-service/reference_service.h"
#include "lumikarta-service/signing_command.h"

namespace {

constexpr const char* kUsage =
    "usage: lumikarta-service [--port N] [--http] [--data DIR] [--site DIR] [--downloads DIR]\n"
    "                         [--download-rate BYTES] [--signing-key PRIVATE]\n"
    "  --port N    port on 127.0.0.1 (default 0: any free port)\n"
    "  --http      plain HTTP instead of HTTPS\n"
    "  --data DIR  certificates and stored requests\n"
    "              (default $XDG_STATE_HOME/lumikarta-service or ~/.local/state/lumikarta-service)\n"
    "  --site DIR  folder whose faq.html is served as /service/faq.html\n"
    "  --downloads DIR\n"
    "              folder whose files are served as /downloads/<name>\n"
    "              (?chunked=1: no Content-Length; ?stall=1: 64 KiB, then nothing)\n"
    "  --download-rate BYTES\n"
    "              send the installers at BYTES a second (default 0: full speed), so that\n"
    "              a demonstration shows the progress of a small one\n"
    "  --signing-key PRIVATE\n"
    "              sign each definition (.xml) of the downloads folder as it is served, as\n"
    "              <name>.xml.sig, unless the folder has that file itself\n"
    "       lumikarta-service generate-key PRIVATE\n"
    "       lumikarta-service public-key PRIVATE\n"
    "       lumikarta-service sign PRIVATE DOCUMENT > DOCUMENT.sig\n"
    "       lumikarta-service verify PUBLIC DOCUMENT [SIGNATURE]\n";

// A decimal count of up to nine digits.
std::optional<std::size_t> ParseCount(std::string_view text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::stoul(std::string(text)));
}

std::optional<int> ParsePort(std::string_view text) {
    const std::optional<std::size_t> port = ParseCount(text);
    return port && *port <= 65535 ? std::optional<int>(static_cast<int>(*port)) : std::nullopt;
}

int UsageError(const std::string& problem) {
    std::cerr << "lumikarta-service: " << problem << '\n' << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && SigningCommand::Names(argv[1])) {
        try {
            return SigningCommand::Run(argv[1], std::span(argv + 2, static_cast<std::size_t>(argc - 2)),
                                       std::cout, std::cerr);
        } catch (const std::exception& error) {
            std::cerr << "lumikarta-service: " << error.what() << '\n';
            return 1;
        }
    }
    ReferenceServiceOptions options;
    bool dataGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool takesValue = argument == "--port" || argument == "--data" || argument == "--site" ||
                                argument == "--downloads" || argument == "--download-rate" ||
                                argument == "--signing-key";
        if (takesValue && i + 1 >= argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (argument == "--http") {
            options.https = false;
        } else if (argument == "--port") {
            const std::optional<int> port = ParsePort(argv[++i]);
            if (!port) {
                return UsageError(std::string("not a port: ") + argv[i]);
            }
            options.port = *port;
        } else if (argument == "--data") {
            options.dataFolder = argv[++i];
            dataGiven = true;
        } else if (argument == "--site") {
            options.siteFolder = argv[++i];
        } else if (argument == "--downloads") {
            options.downloadsFolder = argv[++i];
        } else if (argument == "--signing-key") {
            options.signingKey = argv[++i];
        } else if (argument == "--download-rate") {
            const std::optional<std::size_t> rate = ParseCount(argv[++i]);
            if (!rate) {
                return UsageError(std::string("not a byte count: ") + argv[i]);
            }
            options.downloadBytesPerSecond = *rate;
        } else {
            return UsageError("unknown argument: " + std::string(argument));
        }
    }

    // Blocked before the first thread starts, so every thread inherits it and the signals wait for
    // sigwait below, which stops the service in order instead of killing it amid a write.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A client that hangs up early must not end the process.
    std::signal(SIGPIPE, SIG_IGN);

    try {
        if (!dataGiven) {
            options.dataFolder = ReferenceService::DefaultDataFolder();
        }
        const bool https = options.https;
        const bool downloads = !options.downloadsFolder.empty();
        ReferenceService service(std::move(options));
        service.Start();
        std::cout << "listening " << service.BaseUrl() << '\n';
        if (https) {
            std::cout << "ca-file " << service.CaFile().string() << '\n';
        }
        std::cout << "requests " << service.RequestsFolder().string() << '\n';
        std::cout << "faq " << service.BaseUrl() << FaqPage::kPath << '\n';
        if (downloads) {
            std::cout << "downloads " << service.BaseUrl() << DownloadFiles::kPrefix << '\n';
        }
        std::cout.flush();

        int received = 0;
        sigwait(&stopSignals, &received);
        service.Stop();
        std::cout << "stopped " << strsignal(received) << '\n';
    } catch (const std::exception& error) {
        std::cerr << "lumikarta-service: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
