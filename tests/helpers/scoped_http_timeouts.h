#pragma once

#include "platform/http_transport.h"

// Replaces the time-outs new HTTP requests start with, for the life of the object.
class ScopedHttpTimeouts {
public:
    explicit ScopedHttpTimeouts(const platform::HttpTimeouts& timeouts)
        : m_previous(platform::HttpRequest::DefaultHttpTimeouts()) {
        platform::HttpRequest::DefaultHttpTimeouts() = timeouts;
    }
    ~ScopedHttpTimeouts() { platform::HttpRequest::DefaultHttpTimeouts() = m_previous; }
    ScopedHttpTimeouts(const ScopedHttpTimeouts&) = delete;
    ScopedHttpTimeouts& operator=(const ScopedHttpTimeouts&) = delete;

private:
    platform::HttpTimeouts m_previous;
};
