// The SIM phonebook: AT+CPBS selects the storage ("SM", the only one the SIM
// offers) and counts its places, AT+CPBR reads a range of places, AT+CPBW
// writes or empties one, AT+CPBF finds the entries whose text starts with a
// given text. Numbers and texts travel in the AT+CSCS character set.

#include "sim/Replies.h"

#include <cctype>

namespace ulv::sim {

namespace {

using namespace replies;
using Command = ModemEngine::Command;
using Op = Command::Op;

constexpr unsigned kAll = ModelBit(Model::Tz) | ModelBit(Model::P) | ModelBit(Model::Rx70) | ModelBit(Model::Rx50)
    | ModelBit(Model::Kv);

// The codes of the standard's phonebook errors.
enum : int {
    kNotSupported = 4,
    kMemoryFull = 20,
    kInvalidIndex = 21,
    kNotFound = 22,
    kTextTooLong = 24,
    kBadText = 25,
    kNumberTooLong = 26,
    kBadNumber = 27,
};

bool DialDigits(std::string_view number)
{
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || (c == '+' && i == 0)))
            return false;
    }
    return !number.empty() && number != "+";
}

char16_t Folded(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Folded(text[i]) != Folded(prefix[i]))
            return false;
    }
    return true;
}

} // namespace

const std::vector<ModemEngine::Entry>& ModemEngine::PhonebookTable()
{
    static const std::vector<Entry> table = {
        {"+CPBS", &ModemEngine::PhonebookCommand, kAll},
        {"+CPBR", &ModemEngine::PhonebookCommand, kAll},
        {"+CPBW", &ModemEngine::PhonebookCommand, kAll},
        {"+CPBF", &ModemEngine::PhonebookCommand, kAll},
    };
    return table;
}

ModemEngine::Reply ModemEngine::PhonebookCommand(const Command& c)
{
    auto& book = m_state.phonebook;
    const int capacity = m_state.phonebookCapacity;
    const std::string numberLength = std::to_string(m_state.phonebookNumberLength);
    const std::string textLength = std::to_string(m_state.phonebookTextLength);
    const std::string places = "(1-" + std::to_string(capacity) + ")";
    if (c.op == Op::Test) {
        if (c.name == "+CPBS")
            return Line("+CPBS: (\"SM\")");
        if (c.name == "+CPBR")
            return Line("+CPBR: " + places + "," + numberLength + "," + textLength);
        if (c.name == "+CPBW")
            return Line("+CPBW: " + places + "," + numberLength + ",(128-255)," + textLength);
        return Line("+CPBF: " + numberLength + "," + textLength);
    }
    if (c.op == Op::Exec)
        return Err();
    if (c.op == Op::Read && c.name != "+CPBS")
        return CmeError(kNotSupported);
    if (auto bad = SimNotReady(false))
        return *bad;

    auto entryLine = [&](const char* prefix, int index, const PhonebookEntry& e) {
        return std::string(prefix) + ": " + std::to_string(index) + "," + Quote(Address(e.number)) + ","
            + std::to_string(e.type) + "," + Quote(EncodeTe(e.text, m_state.charset));
    };
    // A text outside the GSM alphabet is stored as UCS2: a marker octet and two per character.
    auto textFits = [&](std::u16string_view text) {
        const std::size_t room = std::size_t(m_state.phonebookTextLength);
        return FitsGsm7(text) ? ToGsm7(text).size() <= room : text.size() <= (room - 1) / 2;
    };

    if (c.name == "+CPBS") {
        if (c.op == Op::Read)
            return Line("+CPBS: \"SM\"," + std::to_string(book.size()) + "," + std::to_string(capacity));
        if (c.params.size() != 1 || !c.quoted[0])
            return Err();
        return c.params[0] == "SM" ? Ok() : CmeError(kNotSupported);
    }
    if (c.name == "+CPBR") {
        int first = 0, last = 0;
        if (c.params.empty() || c.params.size() > 2 || !ToInt(c.params[0], first)
            || (c.params.size() == 2 && !ToInt(c.params[1], last)))
            return Err();
        if (c.params.size() == 1)
            last = first;
        if (first < 1 || last < first || last > capacity)
            return CmeError(kInvalidIndex);
        Reply r;
        std::vector<std::string> lines;
        for (auto it = book.lower_bound(first); it != book.end() && it->first <= last; ++it)
            lines.push_back(entryLine("+CPBR", it->first, it->second));
        if (!lines.empty())
            r.blocks.push_back(std::move(lines));
        return r;
    }
    if (c.name == "+CPBF") {
        if (c.params.size() != 1 || !c.quoted[0])
            return Err();
        const auto wanted = DecodeTe(c.params[0], m_state.charset);
        if (!wanted)
            return CmeError(kBadText);
        if (!textFits(*wanted))
            return CmeError(kTextTooLong);
        std::vector<std::string> lines;
        for (const auto& [index, e] : book) {
            if (StartsWithFolded(e.text, *wanted))
                lines.push_back(entryLine("+CPBF", index, e));
        }
        if (lines.empty())
            return CmeError(kNotFound);
        Reply r;
        r.blocks.push_back(std::move(lines));
        return r;
    }

    // AT+CPBW=[<index>][,<number>[,<type>[,<text>]]]; the index alone empties the place.
    const auto& p = c.params;
    int index = 0;
    if (p.empty() || p.size() > 4 || (!p[0].empty() && !ToInt(p[0], index)))
        return Err();
    if (!p[0].empty() && (index < 1 || index > capacity))
        return CmeError(kInvalidIndex);
    if (p.size() == 1) {
        if (p[0].empty())
            return Err();
        book.erase(index);
        return Ok();
    }
    if (!c.quoted[1] || (p.size() == 4 && !c.quoted[3]))
        return Err();
    const auto number = DecodeTe(p[1], m_state.charset);
    PhonebookEntry entry;
    entry.number = number ? Utf16ToUtf8(*number) : std::string();
    if (!DialDigits(entry.number))
        return CmeError(kBadNumber);
    const bool international = entry.number.front() == '+';
    if (int(entry.number.size()) - (international ? 1 : 0) > m_state.phonebookNumberLength)
        return CmeError(kNumberTooLong);
    entry.type = international ? 145 : 129;
    if (p.size() >= 3 && !p[2].empty() && (!ToInt(p[2], entry.type) || entry.type < 128 || entry.type > 255))
        return Err();
    if (p.size() == 4) {
        const auto text = DecodeTe(p[3], m_state.charset);
        if (!text)
            return CmeError(kBadText);
        if (!textFits(*text))
            return CmeError(kTextTooLong);
        entry.text = *text;
    }
    if (p[0].empty()) {
        for (index = 1; index <= capacity && book.count(index); ++index) {
        }
        if (index > capacity)
            return CmeError(kMemoryFull);
    }
    book[index] = std::move(entry);
    return Ok();
}

} // namespace ulv::sim
