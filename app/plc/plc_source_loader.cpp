// The source grammar. Keywords are matched as byte prefixes of a group's
// text, every table entry is tried in order and a later match replaces an
// earlier one, except for entries that may only stand when nothing before
// them matched ("none" must stay "none" although "n" is its prefix).
#include "plc_source_loader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "decimal_text.h"
#include "file_bytes.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kMaxValueText = 15;

// Where `what` first lies wholly before `limit`, from `from` on; npos when
// it does not. The searches of a block end where its area ends, so that a
// text is read once per block rather than to its end for every row.
std::size_t findBefore(std::string_view text, std::string_view what, std::size_t from, std::size_t limit)
{
    return from >= limit ? npos : text.substr(0, std::min(limit, text.size())).find(what, from);
}

std::size_t findBefore(std::string_view text, char what, std::size_t from, std::size_t limit)
{
    return from >= limit ? npos : text.substr(0, std::min(limit, text.size())).find(what, from);
}

struct Keyword {
    const char *text;
    int code;
    int count = 0; // > 0: "text%d" for n = 1..count, code + n
    bool onlyWhenNoneMatched = false;
};

std::optional<int> matchKeywords(std::string_view group, const Keyword *table, std::size_t size)
{
    std::optional<int> result;
    for (std::size_t i = 0; i < size; ++i) {
        const Keyword &k = table[i];
        if (k.count == 0) {
            if (k.onlyWhenNoneMatched && result)
                continue;
            if (group.starts_with(k.text))
                result = k.code;
            continue;
        }
        // numbered keywords: trying "text1" .. "textN" upward with the later
        // match winning gives the longest run of digits after the text that
        // still names a number in range ("x12" is 12, "x123" is 12 too)
        if (!group.starts_with(k.text))
            continue;
        const std::string_view digits = group.substr(std::strlen(k.text));
        if (digits.empty() || digits[0] == '0')
            continue;
        int n = 0;
        int best = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                break;
            n = n * 10 + (c - '0');
            if (n > k.count)
                break;
            best = n;
        }
        if (best > 0)
            result = k.code + best;
    }
    return result;
}

template <std::size_t N>
std::optional<int> match(std::string_view group, const std::array<Keyword, N> &table)
{
    return matchKeywords(group, table.data(), N);
}

const std::array<Keyword, 5> kConditionSources{{
    {"x", 0, 32},
    {"ai", 64, 16},
    {"et", 80, 96},
    {"it", 176, 32},
    {"y", 208, 32},
}};

const std::array<Keyword, 14> kUnits{{
    {"none", 0},
    {"dio", 1},
    {"cnt", 2},
    {"ms", 3},
    {"raw", 4},
    {"mv", 5},
    {"ma", 6},
    {"mpa", 7},
    {"deg", 8},
    {"rh", 9},
    {"g", 10},
    {"n", 11, 0, true},
    {"rat", 12}, // actions only: dropped from the condition table below
    {"var", 13},
}};

const std::array<Keyword, 11> kConditionOperators{{
    {"=", 1},
    {"!=", 2},
    {">=", 4},
    {">", 3, 0, true},
    {"<=", 6},
    {"<", 5, 0, true},
    {"->", 7},
    {"()", 8},
    {"[]", 9},
    {"(]", 10},
    {"[)", 11},
}};

const std::array<Keyword, 17> kActionObjects{{
    {"x", 32, 32},
    {"y", 0, 32},
    {"ao", 64, 16},
    {"et", 80, 96},
    {"it", 176, 32},
    {"dly1", 209},
    {"DIO+AIO+XCNT", 227},
    {"DIO+AIO", 224, 0, true},
    {"DIO+XCNT", 225},
    {"DIO", 219, 0, true},
    {"DI", 217, 0, true},
    {"DO", 218},
    {"AIO+XCNT", 226},
    {"AIO", 222, 0, true},
    {"AI", 220, 0, true},
    {"AO", 221},
    {"XCNT", 223},
}};

const std::array<Keyword, 7> kActionOperators{{
    {"=", 1},
    {"+", 2},
    {"-", 3},
    {"strclr", 5},
    {"str", 4, 0, true},
    {"rep", 6},
    {"po", 7},
}};

// The unit table without "rat", which conditions do not know.
std::array<Keyword, 13> conditionUnits()
{
    std::array<Keyword, 13> table{};
    std::size_t n = 0;
    for (const Keyword &k : kUnits) {
        if (k.code != plc_code::kUnitRat)
            table[n++] = k;
    }
    return table;
}

std::optional<int> matchConditionUnit(std::string_view group)
{
    static const std::array<Keyword, 13> table = conditionUnits();
    return match(group, table);
}

bool unitHoldsIntegers(int unit)
{
    return unit == 1 || unit == 2 || unit == 3 || unit == 4 || unit == 13;
}

uint32_t integerValue(std::string_view text)
{
    return static_cast<uint32_t>(parseDecimalInt32(text));
}

uint32_t floatValue(std::string_view text)
{
    return floatBits(parseDecimalFloat(text));
}

// Error texts of one area, so that the row parser serves both.
struct AreaTexts {
    const char *braces;
    const char *lineEnd;
    const char *code;
    const char *unit;
    const char *op;
    const char *valueABraces;
    const char *valueAEmpty;
    const char *valueATooLong;
    const char *valueBBraces;
    const char *valueBEmpty;
    const char *valueBTooLong;
};

const AreaTexts kConditionTexts{
    plc_texts::kErrCondBraces,       plc_texts::kErrCondLineEnd,       plc_texts::kErrCondSource,
    plc_texts::kErrCondUnit,         plc_texts::kErrCondOperator,      plc_texts::kErrCondValueABraces,
    plc_texts::kErrCondValueAEmpty,  plc_texts::kErrCondValueATooLong, plc_texts::kErrCondValueBBraces,
    plc_texts::kErrCondValueBEmpty,  plc_texts::kErrCondValueBTooLong,
};

const AreaTexts kActionTexts{
    plc_texts::kErrActBraces,       plc_texts::kErrActLineEnd,       plc_texts::kErrActObject,
    plc_texts::kErrActUnit,         plc_texts::kErrActOperator,      plc_texts::kErrActValueABraces,
    plc_texts::kErrActValueAEmpty,  plc_texts::kErrActValueATooLong, plc_texts::kErrActValueBBraces,
    plc_texts::kErrActValueBEmpty,  plc_texts::kErrActValueBTooLong,
};

class BlockParser
{
public:
    BlockParser(std::string_view text, int block)
        : m_text(text)
        , m_block(block)
    {
    }

    const std::string &error() const { return m_error; }

    // Reads the row whose "{" is at `open` and whose line must end before
    // `areaEnd`; on success `lineEnd` is where the next row is searched.
    std::optional<PlcRow> row(PlcRowKind kind, int r, std::size_t open, std::size_t areaEnd,
                              std::size_t &lineEnd)
    {
        const bool condition = kind == PlcRowKind::Condition;
        const AreaTexts &t = condition ? kConditionTexts : kActionTexts;
        // the line end must lie inside the area, or the next row would be
        // searched beyond it and rows between would vanish unreported
        lineEnd = findBefore(m_text, "\r\n", open, areaEnd);
        if (lineEnd == npos)
            return fail(t.lineEnd, r);
        m_limit = lineEnd;

        std::size_t after = 0;
        std::string_view g;
        if (!group(open, g, after))
            return fail(t.braces, r);
        PlcRow out;
        const auto code = condition ? match(g, kConditionSources) : match(g, kActionObjects);
        if (!code)
            return fail(t.code, r);
        out.code = static_cast<uint8_t>(*code);

        if (!nextGroup(after, g))
            return fail(t.braces, r);
        const auto unit = condition ? matchConditionUnit(g) : match(g, kUnits);
        if (!unit)
            return fail(t.unit, r);
        out.unit = static_cast<uint8_t>(*unit);

        if (!nextGroup(after, g))
            return fail(t.braces, r);
        const auto op = condition ? match(g, kConditionOperators) : match(g, kActionOperators);
        if (!op)
            return fail(t.op, r);
        out.op = static_cast<uint8_t>(*op);

        bool takesA;
        bool takesB;
        if (condition) {
            takesA = true;
            takesB = out.op >= 7 && out.op <= 11;
            // a counter or variable compared with an input is the input's counter
            if (out.code >= 1 && out.code <= 32
                && (out.unit == plc_code::kUnitCnt || out.unit == plc_code::kUnitVar))
                out.code = static_cast<uint8_t>(out.code + 32);
        } else {
            takesA = out.op == 1 || out.op == 2 || out.op == 3 || out.op == plc_code::kActPulse;
            takesB = out.op == plc_code::kActPulse;
        }

        if (takesA) {
            const char *err = value(after, t.valueABraces, t.valueAEmpty, t.valueATooLong, g);
            if (err)
                return fail(err, r);
            // a pulse output's frequency is an integer whatever the unit
            const bool pulse = !condition && out.op == plc_code::kActPulse;
            out.a = !pulse && !unitHoldsIntegers(out.unit) ? floatValue(g) : integerValue(g);
        }
        if (takesB) {
            const char *err = value(after, t.valueBBraces, t.valueBEmpty, t.valueBTooLong, g);
            if (err)
                return fail(err, r);
            // and its duty cycle a float, as the visual editor writes them
            const bool pulse = !condition && out.op == plc_code::kActPulse;
            out.b = pulse || !unitHoldsIntegers(out.unit) ? floatValue(g) : integerValue(g);
        }
        return out;
    }

    std::nullopt_t fail(const char *format, int r)
    {
        m_error = formatText(format, m_block, r);
        return std::nullopt;
    }

private:
    // The group whose "{" is at `open`; both braces must lie before the line end.
    bool group(std::size_t open, std::string_view &g, std::size_t &after) const
    {
        if (open == npos || open >= m_limit)
            return false;
        const std::size_t close = findBefore(m_text, '}', open + 1, m_limit);
        if (close == npos)
            return false;
        g = m_text.substr(open + 1, close - open - 1);
        after = close + 1;
        return true;
    }

    bool nextGroup(std::size_t &after, std::string_view &g) const
    {
        return group(findBefore(m_text, '{', after, m_limit), g, after);
    }

    const char *value(std::size_t &after, const char *braces, const char *empty, const char *tooLong,
                      std::string_view &g) const
    {
        if (!nextGroup(after, g))
            return braces;
        if (g.empty())
            return empty;
        if (g.size() > kMaxValueText)
            return tooLong;
        return nullptr;
    }

    std::string_view m_text;
    int m_block;
    std::size_t m_limit = 0;
    std::string m_error;
};

constexpr std::string_view kTagStart = "<program";

// The first "<programN>" of every block number N (as "%d" writes it: no
// sign, no leading zero), found in one pass over the text.
std::array<std::size_t, kPlcBlockCount> findTags(std::string_view text)
{
    std::array<std::size_t, kPlcBlockCount> tagAt;
    tagAt.fill(npos);
    for (std::size_t at = text.find(kTagStart); at != npos; at = text.find(kTagStart, at + 1)) {
        const std::string_view rest = text.substr(at + kTagStart.size());
        auto digit = [&rest](std::size_t i) { return i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; };
        auto closes = [&rest](std::size_t i) { return i < rest.size() && rest[i] == '>'; };
        std::size_t n = kPlcBlockCount;
        if (digit(0) && closes(1))
            n = static_cast<std::size_t>(rest[0] - '0');
        else if (digit(0) && rest[0] != '0' && digit(1) && closes(2))
            n = static_cast<std::size_t>((rest[0] - '0') * 10 + (rest[1] - '0'));
        if (n < kPlcBlockCount && tagAt[n] == npos)
            tagAt[n] = at;
    }
    return tagAt;
}

std::size_t tagSize(int block)
{
    return kTagStart.size() + (block < 10 ? 1 : 2) + 1;
}

} // namespace

SourceLoadResult loadPlcSourceText(std::string_view input, PlcProject &project)
{
    SourceLoadResult result;
    const std::string_view text = input.substr(0, input.find('\0'));

    const std::array<std::size_t, kPlcBlockCount> tagAt = findTags(text);
    // whether any brace lies at or after a place (the rows' last search)
    const std::size_t lastBrace = text.find_last_of("{}");
    auto braceFrom = [lastBrace](std::size_t pos) { return lastBrace != npos && lastBrace >= pos; };

    auto syntaxError = [&result](std::string message) {
        result.code = SourceLoadResult::SyntaxError;
        result.message = std::move(message);
        return result;
    };

    for (int n = 0; n < static_cast<int>(kPlcBlockCount); ++n) {
        const std::size_t tag = tagAt[static_cast<std::size_t>(n)];
        if (tag == npos)
            continue;
        // a block's text ends where the next present block's tag begins,
        // wherever that is, so blocks must come in ascending order
        std::size_t end = text.size();
        for (std::size_t m = static_cast<std::size_t>(n) + 1; m < kPlcBlockCount; ++m) {
            if (tagAt[m] != npos) {
                end = tagAt[m];
                break;
            }
        }
        const std::size_t bodyStart = tag + tagSize(n);
        const std::size_t cond = findBefore(text, "<cond>", bodyStart, end);
        if (cond == npos)
            return syntaxError(formatText(plc_texts::kErrNoCondTag, n));
        const std::size_t act = findBefore(text, "<act>", bodyStart, end);
        if (act == npos)
            return syntaxError(formatText(plc_texts::kErrNoActTag, n));

        BlockParser parser(text, n);
        std::size_t pos = cond + 6;
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            // the rows end at <act>; beyond it, only whether any brace is
            // left matters (it tells the two messages apart)
            const std::size_t open = findBefore(text, '{', pos, act);
            const std::size_t close = findBefore(text, '}', pos, act);
            if (open == npos && close == npos && !braceFrom(pos))
                return syntaxError(formatText(r == 0 ? plc_texts::kErrNoCondRow : plc_texts::kErrNothingAfterCond, n));
            if (open == npos && close == npos) {
                if (r == 0)
                    return syntaxError(formatText(plc_texts::kErrNoCondRow, n));
                break;
            }
            if (open > close)
                return syntaxError(formatText(plc_texts::kErrCondBraces, n, r));
            std::size_t lineEnd = 0;
            const auto row = parser.row(PlcRowKind::Condition, r, open, act, lineEnd);
            if (!row)
                return syntaxError(parser.error());
            project.setRow(n, PlcRowKind::Condition, r, *row);
            pos = lineEnd;
        }

        pos = act + 5;
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            const std::size_t open = findBefore(text, '{', pos, end);
            const std::size_t close = findBefore(text, '}', pos, end);
            if (open == npos && close == npos) {
                if (r == 0)
                    return syntaxError(formatText(plc_texts::kErrNoActRow, n, r));
                break;
            }
            if (open > close)
                return syntaxError(formatText(plc_texts::kErrActBraces, n, r));
            std::size_t lineEnd = 0;
            const auto row = parser.row(PlcRowKind::Action, r, open, end, lineEnd);
            if (!row)
                return syntaxError(parser.error());
            project.setRow(n, PlcRowKind::Action, r, *row);
            pos = lineEnd;
        }
        project.setState(n, kBlockRuns);
    }
    return result;
}

SourceLoadResult loadPlcSourceFile(const std::string &path, PlcProject &project)
{
    SourceLoadResult result;
    const FileReadResult file = readFileBytes(path, kPlcSourceLimit);
    if (!file.ok) {
        result.code = SourceLoadResult::FileError;
        result.message = file.message;
        return result;
    }
    if (file.size >= kPlcSourceLimit) {
        result.code = SourceLoadResult::FileError;
        result.message = formatText(plc_texts::kErrSourceTooLarge, static_cast<unsigned long long>(file.size));
        return result;
    }
    return loadPlcSourceText(file.bytes, project);
}

} // namespace qx
