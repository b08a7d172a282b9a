// Peak memory of `LumikartaSystemInfo --list-updates` while the update server sends a definition
// without end, against `curl` reading the same endless body into /dev/null for a few seconds (a
// transfer that keeps nothing), and against the program's own run with a small definition. The
// program gives up at its size limit; the figure shows what holding a definition up to that limit
// costs over the plain transfer.
//
//   list_updates_memory_bench      (bench/run-list-updates-memory-bench.sh installs curl)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "helpers/raw_http_server.h"
#include "process_run.h"

namespace {

constexpr char kSmallDefinition[] =
    "<Updates><Product><RegKey>Lumikarta\\TopoKarte</RegKey><Update><Name>TopoKarte 3.1</Name>"
    "<Version>310</Version></Update></Product></Updates>";

Run ListUpdates(const RawHttpServer& server) {
    setenv("LUMIKARTA_UPDATE_URL", server.Url("/downloads/updates.xml").c_str(), 1);
    return Measure({LUMIKARTA_PROGRAM, "--list-updates"});
}

void Print(const char* label, const Run& run) {
    std::printf("%-52s peak %6.1f MiB, %6.2f s, exit %d\n", label, static_cast<double>(run.peakKiB) / 1024,
                run.seconds, run.exitStatus);
}

}  // namespace

int main() {
    // A machine without products or a stored language, so only the definition makes a difference.
    setenv("LUMIKARTA_HKLM", "/dev/null", 1);
    setenv("LUMIKARTA_HKCU", "/dev/null", 1);

    const RawHttpServer endless(RawHttpReply::EndlessBody());
    const RawHttpServer small(RawHttpReply::Complete(kSmallDefinition));
    const Run ours = ListUpdates(endless);
    const Run baseline = ListUpdates(small);
    const Run curl = Measure({"curl", "--silent", "--max-time", "3", "--output", "/dev/null",
                              endless.Url("/downloads/updates.xml")});

    Print("--list-updates, definition without end", ours);
    Print("--list-updates, small definition", baseline);
    Print("curl --max-time 3, the endless body into /dev/null", curl);
    std::printf("ratio: %.2f x curl's peak memory; %.1f MiB over the program's own with a small definition\n",
                static_cast<double>(ours.peakKiB) / static_cast<double>(curl.peakKiB),
                static_cast<double>(ours.peakKiB - baseline.peakKiB) / 1024);
    // Exit 3: the definition could not be loaded, as it must not be.
    return ours.exitStatus == 3 ? 0 : 1;
}
