// Times one support call (envelope, HTTPS POST on loopback, reply through its temporary file,
// evaluation) against `curl` posting the same body with the same headers, both as whole processes
// in the same run against the reference service: medians of several runs.
//
//   support_call_bench [--runs N]      (bench/run-support-call-bench.sh installs curl)

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lumikarta-service/reference_service.h"
#include "process_run.h"
#include "support/soap_request.h"
#include "support/support_call.h"

namespace {

SupportRequest SampleRequest() {
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = "Der Ausdruck bleibt leer, seit die Karte auf A3 gestellt wurde.";
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    return request;
}

constexpr char kReport[] =
    "\r\n\r\n* * * * *\r\nInstallierte Kartenwerke: 1\r\nTopoKarte Deutschland 3.0.0: Nord\\300\r\n";

// Debian's bundle of the system's certificate authorities.
constexpr char kSystemAuthorities[] = "/etc/ssl/certs/ca-certificates.crt";

// The side of the program, in a process of its own like curl's: one call, exit 0 when accepted.
int OneCall() {
    return PostSupportCall(SampleRequest(), kReport).kind == SupportCallOutcome::Kind::Succeeded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--one-call") == 0) {
        return OneCall();
    }
    int runs = 50;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    }
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "support_call_bench";
    std::filesystem::remove_all(scratch);
    ReferenceServiceOptions options;
    options.dataFolder = scratch / "service";
    ReferenceService service(options);
    service.Start();
    setenv("LUMIKARTA_SUPPORT_URL", service.BaseUrl().c_str(), 1);
    setenv("LUMIKARTA_CA_BUNDLE", service.CaFile().c_str(), 1);

    const SoapRequest soap = CreateSoapRequest(kSupportCallAction);
    AddSupportCallParameters(*soap.document, soap.operation, SampleRequest(), kReport);
    const std::string body = soap.document->GetXml();
    const std::filesystem::path bodyFile = scratch / "body.xml";
    std::ofstream(bodyFile, std::ios::binary) << body;

    // The program trusts the system's authorities and the service's; curl is given the same.
    const std::filesystem::path trust = scratch / "trust.pem";
    {
        std::ofstream combined(trust, std::ios::binary);
        combined << std::ifstream(kSystemAuthorities, std::ios::binary).rdbuf()
                 << std::ifstream(service.CaFile(), std::ios::binary).rdbuf();
    }

    const std::vector<std::string> ours = {std::filesystem::read_symlink("/proc/self/exe").string(),
                                           "--one-call"};
    const std::vector<std::string> curl = {"curl",
                                           "--silent",
                                           "--fail",
                                           "--output",
                                           "/dev/null",
                                           "--cacert",
                                           trust.string(),
                                           "--user-agent",
                                           "LumikartaSystemInfo",
                                           "--header",
                                           "Content-Type: text/xml; charset=utf-8",
                                           "--header",
                                           "Content-Length:" + std::to_string(body.size()),
                                           "--header",
                                           "SOAPAction: \"sendSupportCall\"",
                                           "--header",
                                           "Expect:",
                                           "--data-binary",
                                           "@" + bodyFile.string(),
                                           service.BaseUrl() + "/" + kSupportCallObjectPath};

    Measure(ours);  // warm the caches
    Measure(curl);
    std::vector<Run> ourRuns;
    std::vector<Run> curlRuns;
    for (int i = 0; i < runs; ++i) {
        ourRuns.push_back(Measure(ours));
        curlRuns.push_back(Measure(curl));
    }
    service.Stop();
    std::filesystem::remove_all(scratch);

    const Run ourMedian = Median(ourRuns);
    const Run curlMedian = Median(curlRuns);
    std::printf("%-36s %7.2f ms median of %d, peak %5.1f MiB\n", "one support call (own process)",
                ourMedian.seconds * 1e3, runs, static_cast<double>(ourMedian.peakKiB) / 1024);
    std::printf("%-36s %7.2f ms median of %d, peak %5.1f MiB\n", "curl, same body and headers",
                curlMedian.seconds * 1e3, runs, static_cast<double>(curlMedian.peakKiB) / 1024);
    std::printf("ratio: %.2f x curl's time (target at most 1.5)\n", ourMedian.seconds / curlMedian.seconds);
    return ourMedian.exitStatus == 0 && curlMedian.exitStatus == 0 ? 0 : 1;
}
