#pragma once

#include "core/UserMessage.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The stored form of the password asked before the main window comes back
// from the tray. A password typed here may be one the user also uses
// elsewhere, so what we write is a salted, slow hash of it (Argon2id, the
// libsodium "$argon2id$..." text), never the password itself.
//
// Still read: the scrambled form earlier versions and the Windows world
// stored (each byte shifted by one fixed offset). Its bytes are the password
// as it was typed there: UTF-8, or Windows-1252 from the Windows world, read
// through the one stored-text decoder.

// The hash to store for a password; "" for "" (no password). Nothing when
// the hash could not be made (out of memory): then nothing is to be stored.
std::optional<std::string> passwordHash(std::string_view password);

// Whether a stored value is one of our hashes (as opposed to the scrambled
// form of earlier versions).
bool isPasswordHash(std::string_view stored);

// Whether a typed text is the password a stored value stands for. Case and
// blanks count. A hash is verified by libsodium; the scrambled form is
// compared in constant time (digests of both sides, so the time says
// nothing about the length either). An empty stored value matches only "".
bool passwordMatches(std::string_view stored, std::string_view typed);

// Whether a stored value should be written again as a fresh hash after a
// successful check: the scrambled form, or a hash with weaker parameters
// than we use today.
bool passwordNeedsRehash(std::string_view stored);

// The scrambled form's password, as UTF-8.
std::string unscrambledPassword(std::string_view stored);

// The refusal of a wrong password, and of an open request while the window
// is locked in the tray.
UserMessage authenticationFailedMessage();

} // namespace corvane
