// What every libFuzzer target shares: its entry point, the input as a mode
// byte and a body, the body as raw text, as a text built from the target's
// own tokens or as a command line, and a check that stops the run naming the
// condition that failed.
//
//   QX_FUZZ_TARGET(input)
//   {
//       const Result r = load(input.text(kTokens));
//       QX_FUZZ_CHECK(r.ok || !r.message.empty());
//   }
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qx::fuzz {

class Input
{
public:
    Input(const uint8_t *data, std::size_t size)
        : m_all(data, size)
    {
    }

    // Every byte, the mode byte included.
    std::span<const uint8_t> all() const { return m_all; }
    // The first byte: the target's choices (raw or tokens, a variant).
    uint8_t mode() const { return m_all.empty() ? 0 : m_all[0]; }
    // The bytes after the mode byte.
    std::span<const uint8_t> body() const { return m_all.empty() ? m_all : m_all.subspan(1); }
    std::string_view bodyText() const
    {
        return {reinterpret_cast<const char *>(body().data()), body().size()};
    }
    std::vector<uint8_t> bodyBytes() const { return {body().begin(), body().end()}; }

    // The body as it is when the mode's lowest bit is set; otherwise each
    // body byte picks one of `tokens`, so that whole keys, tags and numbers
    // of a file format come up far sooner than from single bytes.
    template<typename Tokens>
    std::string text(const Tokens &tokens) const
    {
        if (mode() & 1)
            return std::string(bodyText());
        std::string out;
        for (const uint8_t b : body())
            out += tokens[b % std::size(tokens)];
        return out;
    }

    // A program's arguments: the body cut at zero bytes when the mode's
    // lowest bit is set, otherwise one of `tokens` for each body byte.
    template<typename Tokens>
    std::vector<std::string> words(const Tokens &tokens) const
    {
        std::vector<std::string> out;
        if (!(mode() & 1)) {
            for (const uint8_t b : body())
                out.emplace_back(tokens[b % std::size(tokens)]);
            return out;
        }
        std::string_view rest = bodyText();
        while (!rest.empty()) {
            const std::size_t end = rest.find('\0');
            out.emplace_back(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
        return out;
    }

private:
    std::span<const uint8_t> m_all;
};

[[noreturn]] inline void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace qx::fuzz

// A property every input must keep; a breach is a crash the fuzzer saves.
#define QX_FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::qx::fuzz::fail(#condition, __FILE__, __LINE__))

// Defines the target's body for one input; empty inputs are skipped.
#define QX_FUZZ_TARGET(input)                                                       \
    static void qxFuzzOne(const ::qx::fuzz::Input &input);                          \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)    \
    {                                                                               \
        if (size > 0)                                                               \
            qxFuzzOne(::qx::fuzz::Input(data, size));                               \
        return 0;                                                                   \
    }                                                                               \
    static void qxFuzzOne(const ::qx::fuzz::Input &input)
