#pragma once

#include <string>

// The maker's web pages the program opens; the environment may point them elsewhere (a test
// service, a staging server).

// LUMIKARTA_FAQ_URL, else the FAQ page of the maker's web site.
std::string FaqPageUrl();
// LUMIKARTA_UPDATE_URL, else the update definition on the maker's web server.
std::string UpdateDefinitionUrl();
