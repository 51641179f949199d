#include "ui/GoToTarget.h"

#include <array>
#include <charconv>
#include <tuple>
#include <vector>

#include "engine/CellText.h"
#include "engine/TimeMaps.h"

namespace tracklens::ui {

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A whole number that is all of the text, in the base.
std::optional<std::uint64_t> Number(std::string_view text, int base = 10)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || at != end) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

GoToParse Error(std::string error)
{
    return {std::nullopt, std::move(error)};
}

GoToParse Target(GoToForm form, std::uint64_t value, std::uint32_t beat = 1, std::uint32_t tick = 0)
{
    return {GoToTarget{form, value, beat, tick}, {}};
}

GoToParse ParseRow(std::string_view text)
{
    const std::optional<std::uint64_t> row = Number(text);
    if (!row || *row == 0) {
        return Error("A row is a number from 1.");
    }
    return Target(GoToForm::Row, *row);
}

GoToParse ParseTick(std::string_view text)
{
    const std::optional<std::uint64_t> tick = Number(text);
    if (!tick) {
        return Error("An Abs Tick is a whole number from 0.");
    }
    return Target(GoToForm::AbsTick, *tick);
}

// M:SS.mmm or M:SS: minutes, seconds under 60, and up to three digits of milliseconds.
GoToParse ParseTime(std::string_view text)
{
    constexpr std::string_view kError = "A time is M:SS.mmm or M:SS, seconds under 60.";
    const std::vector<std::string_view> parts = Split(text, ':');
    if (parts.size() != 2) {
        return Error(std::string(kError));
    }
    std::string_view seconds = parts[1];
    std::string_view fraction;
    if (const std::size_t dot = seconds.find('.'); dot != std::string_view::npos) {
        fraction = seconds.substr(dot + 1);
        seconds = seconds.substr(0, dot);
        if (fraction.empty() || fraction.size() > 3) {
            return Error(std::string(kError));
        }
    }
    const std::optional<std::uint64_t> minutes = Number(parts[0]);
    const std::optional<std::uint64_t> wholeSeconds = Number(seconds);
    std::optional<std::uint64_t> milliseconds = fraction.empty() ? 0 : Number(fraction);
    if (!minutes || !wholeSeconds || seconds.size() != 2 || *wholeSeconds >= 60 || !milliseconds ||
        *minutes > 1'000'000'000) {
        return Error(std::string(kError));
    }
    for (std::size_t digits = fraction.size(); digits < 3 && !fraction.empty(); ++digits) {
        *milliseconds *= 10;
    }
    return Target(GoToForm::Time, (*minutes * 60 + *wholeSeconds) * 1000 + *milliseconds);
}

// B, B:b or B:b:TTT, counted from bar 1 and beat 1.
GoToParse ParseBar(std::string_view text)
{
    constexpr std::string_view kError = "A bar is B, B:b or B:b:TTT, bar and beat from 1.";
    const std::vector<std::string_view> parts = Split(text, ':');
    if (parts.size() > 3) {
        return Error(std::string(kError));
    }
    std::vector<std::uint64_t> numbers;
    for (const std::string_view part : parts) {
        const std::optional<std::uint64_t> number = Number(part);
        if (!number || *number > 0xFFFFFFFFu) {
            return Error(std::string(kError));
        }
        numbers.push_back(*number);
    }
    const std::uint64_t beat = numbers.size() > 1 ? numbers[1] : 1;
    const std::uint64_t tick = numbers.size() > 2 ? numbers[2] : 0;
    if (numbers[0] == 0 || beat == 0) {
        return Error(std::string(kError));
    }
    return Target(GoToForm::Bar, numbers[0], static_cast<std::uint32_t>(beat),
                  static_cast<std::uint32_t>(tick));
}

GoToParse ParseOffset(std::string_view text)
{
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    }
    const std::optional<std::uint64_t> offset = Number(text, 16);
    if (!offset) {
        return Error("An offset is hexadecimal, with or without 0x.");
    }
    return Target(GoToForm::Offset, *offset);
}

} // namespace

GoToParse ParseGoTo(GoToForm form, std::string_view text)
{
    text = Trimmed(text);
    switch (form) {
    case GoToForm::Row:
        return ParseRow(text);
    case GoToForm::AbsTick:
        return ParseTick(text);
    case GoToForm::Time:
        return ParseTime(text);
    case GoToForm::Bar:
        return ParseBar(text);
    case GoToForm::Offset:
        return ParseOffset(text);
    }
    return Error("Unknown form.");
}

std::int64_t TableRowAtOffset(const EventTable& table, std::uint64_t offset)
{
    // The first row that ends after the offset.
    std::size_t low = 0;
    std::size_t high = table.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (RowEnd(table.row(middle)) <= offset) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < table.size() ? static_cast<std::int64_t>(low) : -1;
}

namespace {

// Where a target or a row stands, to be compared: milliseconds, or bar, beat and tick.
using Place = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;

Place PlaceOf(const GoToTarget& target)
{
    return target.form == GoToForm::Time ? Place{target.value, 0, 0}
                                         : Place{target.value, target.beat, target.tick};
}

// The place a row's Time ("M:SS.mmm") or Bar ("B:b:TTT") text gives, read without taking
// memory; nothing for a number too large to be read, which stands after any target.
std::optional<Place> PlaceOfText(GoToForm form, std::string_view text)
{
    std::array<std::uint64_t, 3> numbers{};
    std::size_t count = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (at < end && count < numbers.size()) {
        const auto [next, error] = std::from_chars(at, end, numbers[count]);
        if (error != std::errc()) {
            return std::nullopt;
        }
        ++count;
        at = next + 1; // past ':' or '.'
    }
    if (form == GoToForm::Time) {
        if (numbers[0] > 1'000'000'000) {
            return std::nullopt;
        }
        return Place{(numbers[0] * 60 + numbers[1]) * 1000 + numbers[2], 0, 0};
    }
    return Place{numbers[0], numbers[1], numbers[2]};
}

} // namespace

std::int64_t TableRowAtPlace(const EventTable& table, const GoToTarget& target)
{
    const Column column = target.form == GoToForm::Time ? Column::Time : Column::Bar;
    const Place wanted = PlaceOf(target);
    const CellContext context = table.cellContext();
    const ByteSpan file = table.content();
    std::array<char, TimeMaps::kLongestText> text{};
    // A row at the tick of the row before it, in the same track, stands where that one does.
    std::optional<std::uint64_t> tickBefore;
    for (std::size_t index = 0; index < table.size(); ++index) {
        const Row row = table.row(index);
        if (IsChunkRow(row.kind)) {
            tickBefore.reset();
            continue;
        }
        if (tickBefore == row.absTick) {
            continue;
        }
        TextCursor out(text.data(), text.data() + text.size());
        AppendCell(out, file, row, column, context);
        const std::string_view shown(text.data(), static_cast<std::size_t>(out.at() - text.data()));
        if (shown.empty()) {
            return -1; // no times or bars in this listing
        }
        const std::optional<Place> place = PlaceOfText(target.form, shown);
        if (!place || *place >= wanted) {
            return static_cast<std::int64_t>(index);
        }
        tickBefore = row.absTick;
    }
    return -1;
}

std::int64_t TableRowAtTick(const EventTable& table, std::uint64_t tick)
{
    for (std::size_t index = 0; index < table.size(); ++index) {
        const Row row = table.row(index);
        if (!IsChunkRow(row.kind) && row.absTick >= tick) {
            return static_cast<std::int64_t>(index);
        }
    }
    return -1;
}

} // namespace tracklens::ui
