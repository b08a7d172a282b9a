#pragma once

#include <string>

// The maker's web addresses the program uses; the environment may point them elsewhere (a test
// service, a staging server).

// LUMIKARTA_SUPPORT_URL (scheme, host and port), else the maker's support web server over HTTPS;
// without a trailing slash.
std::string SupportServerUrl();

// LUMIKARTA_FAQ_URL, else the FAQ page of the maker's web site.
std::string FaqPageUrl();
// LUMIKARTA_UPDATE_URL, else the update definition on the maker's web server.
std::string UpdateDefinitionUrl();
