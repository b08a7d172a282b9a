#pragma once

#include <string>
#include <vector>

// Update descriptions of 300 characters, longer than the update list's description holds, in both
// languages of the program.
inline constexpr const char* kLongGermanDescription =
    "Diese Ausgabe bringt neu vermessene Höhenlinien für Bayern und Baden-Württemberg, über zweitausend "
    "neue Wanderwege mit Schwierigkeitsgrad und Gehzeit, aktualisierte Hütten und Berggasthöfe mit "
    "Öffnungszeiten, schnellere Suche nach Orten und Straßen sowie Korrekturen an Grenzübergängen und "
    "Gewässern.";
inline constexpr const char* kLongEnglishDescription =
    "This release brings newly surveyed contour lines for Bavaria and Baden-Württemberg, more than two "
    "thousand new hiking trails with difficulty and walking time, updated mountain huts and inns with "
    "opening hours, a faster search for places and streets, and many corrections to border crossings and "
    "seas.";

struct DescriptionCase {
    std::string text;
    // The update list's description does not hold all of it.
    bool cut;
};

// For the window tests of both hosts: short and long, with markup that must stay text, and one word
// too long for a line.
inline std::vector<DescriptionCase> DescriptionCases() {
    return {
        {"", false},
        {"Neue Höhenlinien.", false},
        {kLongGermanDescription, true},
        {kLongEnglishDescription, true},
        {std::string("Karte <b>neu</b> & ") + kLongGermanDescription, true},
        {std::string(300, 'W'), true},
    };
}
