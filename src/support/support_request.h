#pragma once

#include <string>

// What the support form sends: the values of its fields as they stand, possibly empty.
struct SupportRequest {
    std::string product;
    std::string productVersion;
    std::string subject;
    std::string description;
    std::string graphic;
    std::string graphicDriverVersion;
    std::string operatingSystem;
    std::string printer;
    std::string pda;
    std::string cpu;
    std::string ram;
    std::string kettlerDevice;
    std::string kettlerDeviceId;
    std::string salutation;
    std::string firstName;
    std::string surname;
    std::string company;
    std::string street;
    std::string zipCode;
    std::string city;
    std::string country;
    std::string email;
    std::string telephone;
    // 0 German, 1 English: the language the service answers and handles the request in.
    int language = 0;
};
