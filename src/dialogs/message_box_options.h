#pragma once

// How a message box looks and what it lets the user answer; every host maps these to its own boxes.

enum class MessageIcon { None, Exclamation, Information, Stop, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
