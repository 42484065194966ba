#include "core/Password.h"

#include "core/StoredText.h"

#include <sodium.h>

namespace corvane {

namespace {

// Added (modulo 256) to every byte of the password in the scrambled form.
constexpr unsigned char kScrambleOffset = 0x15;

// Argon2id with libsodium's limits for an interactive check: about a tenth
// of a second and 64 MiB on a desktop machine.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

using Digest = unsigned char[crypto_generichash_BYTES];

void digestOf(std::string_view text, Digest &out)
{
    crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char *>(text.data()), text.size(),
                       nullptr, 0);
}

} // namespace

std::optional<std::string> passwordHash(std::string_view password)
{
    if (password.empty())
        return std::string();
    if (!sodiumReady())
        return std::nullopt;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), kOpsLimit, kMemLimit) != 0)
        return std::nullopt;
    return std::string(hash);
}

bool isPasswordHash(std::string_view stored)
{
    return stored.starts_with("$argon2id$") || stored.starts_with("$argon2i$");
}

std::string unscrambledPassword(std::string_view stored)
{
    std::string bytes(stored);
    for (char &c : bytes)
        c = char(static_cast<unsigned char>(c) - kScrambleOffset);
    return decodeStoredText(bytes);
}

bool passwordMatches(std::string_view stored, std::string_view typed)
{
    if (stored.empty())
        return typed.empty();
    if (!sodiumReady())
        return false;
    if (isPasswordHash(stored)) {
        // The verifier wants a terminated string of at most STRBYTES.
        if (stored.size() >= crypto_pwhash_STRBYTES)
            return false;
        const std::string hash(stored);
        return crypto_pwhash_str_verify(hash.c_str(), typed.data(), typed.size()) == 0;
    }
    Digest expected;
    Digest given;
    digestOf(unscrambledPassword(stored), expected);
    digestOf(typed, given);
    return sodium_memcmp(expected, given, sizeof expected) == 0;
}

bool passwordNeedsRehash(std::string_view stored)
{
    if (stored.empty())
        return false;
    if (!isPasswordHash(stored) || stored.size() >= crypto_pwhash_STRBYTES || !sodiumReady())
        return true;
    const std::string hash(stored);
    return crypto_pwhash_str_needs_rehash(hash.c_str(), kOpsLimit, kMemLimit) != 0;
}

UserMessage authenticationFailedMessage()
{
    return {"You are not permitted to maximize this application.\nEnsure CAPS Lock is set correctly and "
            "re-enter\nyour password.",
            "Authentication failed", UserMessage::Icon::Stop};
}

} // namespace corvane
