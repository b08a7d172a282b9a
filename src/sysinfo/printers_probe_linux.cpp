#include <cups/cups.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "sysinfo/system_info.h"

namespace {

// The probe runs while the program starts, so no single wait on the print server may hold that up
// for longer than this.
constexpr std::chrono::milliseconds kLongestWait{1000};

struct AddressesDeleter {
    void operator()(http_addrlist_t* addresses) const { httpAddrFreeList(addresses); }
};
struct ConnectionDeleter {
    void operator()(http_t* connection) const { httpClose(connection); }
};
struct MessageDeleter {
    void operator()(ipp_t* message) const { ippDelete(message); }
};
using Addresses = std::unique_ptr<http_addrlist_t, AddressesDeleter>;
using Connection = std::unique_ptr<http_t, ConnectionDeleter>;
using Message = std::unique_ptr<ipp_t, MessageDeleter>;

// Name look-ups have no time limit of their own: a print server named in the client configuration
// whose name server is out of reach would hold up start-up for the resolver's whole retry cycle. So
// the look-up runs on a thread of its own; one that comes too late finishes alone and drops its result.
Addresses ResolveInTime(const std::string& host, int port) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        Addresses addresses;
    };
    const auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, host, service = std::to_string(port)] {
            Addresses addresses(httpAddrGetList(host.c_str(), AF_UNSPEC, service.c_str()));
            const std::lock_guard lock(lookup->mutex);
            lookup->addresses = std::move(addresses);
            lookup->done = true;
            lookup->finished.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    std::unique_lock lock(lookup->mutex);
    if (!lookup->finished.wait_for(lock, kLongestWait, [&] { return lookup->done; })) {
        return nullptr;
    }
    return std::move(lookup->addresses);
}

int GiveUpWaiting(http_t*, void*) {
    return 0;
}

// A connection to the configured print server (a local socket path or a host), on which every wait
// ends after kLongestWait; null when the server cannot be reached in time.
Connection ConnectToPrintServer() {
    // Reading the server setting also takes the port from it, so the server goes first.
    const std::string host = cupsServer();
    const int port = ippPort();
    const Addresses addresses = ResolveInTime(host, port);
    if (!addresses) {
        return nullptr;
    }
    Connection connection(httpConnect2(host.c_str(), port, addresses.get(), AF_UNSPEC,
                                       HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                       static_cast<int>(kLongestWait.count()), nullptr));
    if (!connection) {
        return nullptr;
    }
    httpSetTimeout(connection.get(), std::chrono::duration<double>(kLongestWait).count(), GiveUpWaiting,
                   nullptr);
    // Setting up encryption talks to the server, so the configured kind is only asked for once the
    // time limit is in place.
    if (httpEncryption(connection.get(), cupsEncryption()) != 0) {
        return nullptr;
    }
    return connection;
}

Message PrinterListRequest() {
    static const char* const kWanted[] = {"printer-name", "printer-is-temporary"};
    Message request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// One request and its answer, done by hand: cupsDoRequest retries, reconnects with half-minute
// limits and asks for a password on the terminal when the server wants one, and each of those can
// wait far past kLongestWait.
Message Exchange(http_t* connection, ipp_t* request) {
    httpClearFields(connection);
    httpSetField(connection, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
    httpSetLength(connection, ippLength(request));
    if (httpPost(connection, "/") != 0) {
        return nullptr;
    }
    ipp_state_t state;
    while ((state = ippWrite(connection, request)) != IPP_STATE_DATA) {
        if (state == IPP_STATE_ERROR) {
            return nullptr;
        }
    }
    // Once no request is under way httpUpdate keeps reporting "continue", so the state ends the loop too.
    http_status_t status;
    do {
        status = httpUpdate(connection);
    } while (status == HTTP_STATUS_CONTINUE && httpGetState(connection) != HTTP_STATE_WAITING);
    if (status != HTTP_STATUS_OK) {
        return nullptr;
    }
    Message response(ippNew());
    while ((state = ippRead(connection, response.get())) != IPP_STATE_DATA) {
        if (state == IPP_STATE_ERROR) {
            return nullptr;
        }
    }
    return response;
}

// The queue names in the answer, in its order, without temporary queues: the server sets one up by
// itself when someone prints to a network printer it has found and drops it after a short idle time,
// so it is no installed printer and would make the list depend on what was printed a minute ago.
std::vector<std::string> InstalledQueueNames(ipp_t* response) {
    std::vector<std::string> names;
    const char* name = nullptr;
    bool temporary = false;
    const auto endPrinter = [&] {
        if (name != nullptr && *name != '\0' && !temporary) {
            names.emplace_back(name);
        }
        name = nullptr;
        temporary = false;
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute != nullptr;
         attribute = ippNextAttribute(response)) {
        // Each printer is a group of its own; a separator has neither name nor printer group.
        const char* attributeName = ippGetName(attribute);
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || attributeName == nullptr) {
            endPrinter();
            continue;
        }
        const ipp_tag_t type = ippGetValueTag(attribute);
        if (std::strcmp(attributeName, "printer-name") == 0 &&
            (type == IPP_TAG_NAME || type == IPP_TAG_NAMELANG)) {
            name = ippGetString(attribute, 0, nullptr);
        } else if (std::strcmp(attributeName, "printer-is-temporary") == 0 && type == IPP_TAG_BOOLEAN) {
            temporary = ippGetBoolean(attribute, 0) != 0;
        }
    }
    endPrinter();
    return names;
}

}  // namespace

void CSystemInfo::DetectPrinters() {
    m_Printers.clear();
    const Connection connection = ConnectToPrintServer();
    if (!connection) {
        return;
    }
    const Message request = PrinterListRequest();
    if (const Message response = Exchange(connection.get(), request.get())) {
        m_Printers = InstalledQueueNames(response.get());
    }
}
