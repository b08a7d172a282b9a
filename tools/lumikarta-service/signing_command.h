#pragma once

#include <ostream>
#include <span>
#include <string_view>

// The maker's commands for signed update definitions, on PEM files:
//   generate-key PRIVATE       a new P-256 key pair into PRIVATE (mode 0600, never over a file)
//   public-key PRIVATE         its public half as PEM, the key a build is given to trust
//   sign PRIVATE DOCUMENT      the text of DOCUMENT.sig
//   verify PUBLIC DOCUMENT [SIGNATURE]
//                              whether PUBLIC signed DOCUMENT (SIGNATURE: default DOCUMENT.sig),
//                              checked as the program checks it
class SigningCommand {
public:
    static bool Names(std::string_view command);
    // Runs `command` with the arguments that follow it; the exit status: 0 done (verify: signed),
    // 1 failed (verify: not signed), 2 wrong arguments.
    static int Run(std::string_view command, std::span<char* const> arguments, std::ostream& out,
                   std::ostream& err);
};
